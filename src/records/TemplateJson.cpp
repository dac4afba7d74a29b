#include "records/TemplateJson.h"

#include "base/PlainText.h"
#include "records/MeasureAlgorithms.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

#include <cfloat>
#include <cmath>

namespace {

// The maker's contact lines in the export header. The key ignores them.
const char *const kCompany = "Trevonics Devices";
const char *const kWeb = "";
const char *const kEmail = "";

// The shortest decimal that reads back as the same float, so 0.7f is written as 0.7 and
// not as 0.699999988079071.
double neatDouble(float f)
{
    if (!std::isfinite(f))
        return 0;
    for (int digits = 6; digits < 9; ++digits) {
        const double d = QString::number(double(f), 'g', digits).toDouble();
        if (float(d) == f)
            return d;
    }
    return QString::number(double(f), 'g', 9).toDouble();
}

void readText(const QJsonObject &o, const char *key, QString *out)
{
    const QJsonValue v = o.value(QLatin1String(key));
    if (v.isString())
        *out = PlainText::clean(v.toString());
}

void readBool(const QJsonObject &o, const char *key, bool *out)
{
    const QJsonValue v = o.value(QLatin1String(key));
    if (v.isDouble())
        *out = v.toDouble() != 0;
    else if (v.isBool())
        *out = v.toBool();
}

void readByte(const QJsonObject &o, const char *key, quint8 *out)
{
    const QJsonValue v = o.value(QLatin1String(key));
    if (v.isDouble())
        *out = quint8(qBound(0.0, std::trunc(v.toDouble()), 255.0));
}

void readFloat(const QJsonObject &o, const char *key, float *out)
{
    const QJsonValue v = o.value(QLatin1String(key));
    if (v.isDouble())
        *out = float(qBound(-double(FLT_MAX), v.toDouble(), double(FLT_MAX)));
}

QJsonObject fioElement(const FioTemplate &e)
{
    QJsonObject o;
    o.insert(QStringLiteral("Text1"), e.text1);
    o.insert(QStringLiteral("Text2"), e.text2);
    o.insert(QStringLiteral("Text3"), e.text3);
    o.insert(QStringLiteral("IsEnable"), e.enabled ? 1 : 0);
    return o;
}

QJsonObject wheelElement(const WheelTemplate &e)
{
    QJsonObject o;
    o.insert(QStringLiteral("Text"), e.text);
    o.insert(QStringLiteral("IsEnable"), e.enabled ? 1 : 0);
    return o;
}

QJsonObject uzelElement(const UzelTemplate &e)
{
    QJsonObject o;
    o.insert(QStringLiteral("Text1"), e.text1);
    o.insert(QStringLiteral("Text2"), e.text2);
    o.insert(QStringLiteral("Text3"), e.text3);
    o.insert(QStringLiteral("IsEnable"), e.enabled ? 1 : 0);
    o.insert(QStringLiteral("CountBolts"), int(e.countBolts));
    o.insert(QStringLiteral("Algorithm"), int(e.algorithm));
    o.insert(QStringLiteral("HeadMM"), neatDouble(e.headMm));
    o.insert(QStringLiteral("LowMoment"), neatDouble(e.lowMoment));
    o.insert(QStringLiteral("HighMoment"), neatDouble(e.highMoment));
    o.insert(QStringLiteral("LowAngle"), neatDouble(e.lowAngle));
    o.insert(QStringLiteral("HighAngle"), neatDouble(e.highAngle));
    o.insert(QStringLiteral("Angle"), neatDouble(e.angle));
    o.insert(QStringLiteral("StartMoment"), neatDouble(e.startMoment));
    o.insert(QStringLiteral("PitchStep"), neatDouble(e.pitchStep));
    return o;
}

void applyElement(const QJsonObject &o, FioTemplate &e)
{
    readText(o, "Text1", &e.text1);
    readText(o, "Text2", &e.text2);
    readText(o, "Text3", &e.text3);
    readBool(o, "IsEnable", &e.enabled);
}

void applyElement(const QJsonObject &o, WheelTemplate &e)
{
    readText(o, "Text", &e.text);
    readBool(o, "IsEnable", &e.enabled);
}

void applyElement(const QJsonObject &o, UzelTemplate &e)
{
    readText(o, "Text1", &e.text1);
    readText(o, "Text2", &e.text2);
    readText(o, "Text3", &e.text3);
    readBool(o, "IsEnable", &e.enabled);
    readByte(o, "CountBolts", &e.countBolts);
    quint8 algorithm = e.algorithm;
    readByte(o, "Algorithm", &algorithm);
    // An unknown code would select nothing in the row's combo; code 0 is what such a text
    // maps to everywhere else.
    e.algorithm = MeasureAlgorithms::isValid(algorithm) ? algorithm : 0;
    readFloat(o, "HeadMM", &e.headMm);
    readFloat(o, "LowMoment", &e.lowMoment);
    readFloat(o, "HighMoment", &e.highMoment);
    readFloat(o, "LowAngle", &e.lowAngle);
    readFloat(o, "HighAngle", &e.highAngle);
    readFloat(o, "Angle", &e.angle);
    readFloat(o, "StartMoment", &e.startMoment);
    readFloat(o, "PitchStep", &e.pitchStep);
}

template <typename Entry, size_t N>
void importArray(const QJsonArray &array, std::array<Entry, N> &list, TemplateJson::ImportResult &r)
{
    const int n = qMin(array.size(), int(N));
    r.ignored = array.size() - n;
    for (int i = 0; i < n; ++i) {
        if (!array.at(i).isObject()) {
            ++r.ignored;
            continue;
        }
        Entry &e = list[size_t(i)];
        applyElement(array.at(i).toObject(), e);
        e.index = quint8(i);
        TemplateTextCut::fit(e, i, &r.cuts);
        ++r.applied;
        r.rows.append(i);
    }
}

template <typename Entry, size_t N, typename Make>
QJsonArray exportArray(const std::array<Entry, N> &list, Make make)
{
    QJsonArray a;
    for (const Entry &e : list)
        a.append(make(e));
    return a;
}

} // namespace

const char *TemplateJson::fileName(TemplateKind kind)
{
    switch (kind) {
    case TemplateKind::Fio:
        return "FioTypes.json";
    case TemplateKind::Wheel:
        return "WheelTypes.json";
    case TemplateKind::Uzel:
        return "UzelTypes.json";
    }
    return "";
}

const char *TemplateJson::arrayKey(TemplateKind kind)
{
    switch (kind) {
    case TemplateKind::Fio:
        return "FioTypeElement";
    case TemplateKind::Wheel:
        return "WheelTypeElement";
    case TemplateKind::Uzel:
        return "UzelTypeElement";
    }
    return "";
}

QString TemplateJson::dateText(const QDateTime &when)
{
    const QDate d = when.date();
    const QTime t = when.time();
    auto two = [](int v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); };
    return QStringLiteral("%3-%2-%1_%4-%5-%6")
        .arg(two(d.day()), two(d.month()), QStringLiteral("%1").arg(d.year(), 4, 10, QLatin1Char('0')),
             two(t.hour()), two(t.minute()), two(t.second()));
}

QByteArray TemplateJson::write(TemplateKind kind, const TemplateLists &lists, const QDateTime &when)
{
    QJsonObject root;
    root.insert(QStringLiteral("Company"), QLatin1String(kCompany));
    root.insert(QStringLiteral("Web"), QLatin1String(kWeb));
    root.insert(QStringLiteral("Email"), QLatin1String(kEmail));
    root.insert(QStringLiteral("Device"), QStringLiteral("Key"));
    root.insert(QStringLiteral("Customer"), QStringLiteral("customer name"));
    root.insert(QStringLiteral("Avtor"), QStringLiteral("avtor name"));
    root.insert(QStringLiteral("Date"), dateText(when));
    QJsonArray array;
    switch (kind) {
    case TemplateKind::Fio:
        array = exportArray(lists.fio, fioElement);
        break;
    case TemplateKind::Wheel:
        array = exportArray(lists.wheel, wheelElement);
        break;
    case TemplateKind::Uzel:
        array = exportArray(lists.uzel, uzelElement);
        break;
    }
    root.insert(QLatin1String(arrayKey(kind)), array);
    // Indented output already ends with a line end.
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

TemplateJson::ImportResult TemplateJson::read(TemplateKind kind, const QByteArray &json,
                                              TemplateLists *lists)
{
    ImportResult r;
    QJsonParseError err;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &err);
    if (err.error != QJsonParseError::NoError || !doc.isObject()) {
        r.problem = QStringLiteral("%1: not a JSON object (%2 at %3)")
                        .arg(QLatin1String(fileName(kind)), err.errorString())
                        .arg(err.offset);
        return r;
    }
    const QJsonValue v = doc.object().value(QLatin1String(arrayKey(kind)));
    if (!v.isArray()) {
        r.problem = QStringLiteral("%1: no array \"%2\"")
                        .arg(QLatin1String(fileName(kind)), QLatin1String(arrayKey(kind)));
        return r;
    }
    if (!lists)
        return r;
    r.ok = true;
    const QJsonArray array = v.toArray();
    switch (kind) {
    case TemplateKind::Fio:
        importArray(array, lists->fio, r);
        break;
    case TemplateKind::Wheel:
        importArray(array, lists->wheel, r);
        break;
    case TemplateKind::Uzel:
        importArray(array, lists->uzel, r);
        break;
    }
    if (r.ignored > 0)
        r.problem = QStringLiteral("%1: %2 elements ignored").arg(QLatin1String(fileName(kind))).arg(r.ignored);
    return r;
}
