#include "KeySample.h"

#include "KeyFileSystem.h"
#include "KeyState.h"

#include "base/Log.h"
#include "records/RecordName.h"
#include "records/TemplateBinary.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>

#include <cmath>

namespace keysim {

namespace {

bool writeAtomically(const QString &path, const QByteArray &bytes, QString *error)
{
    QSaveFile f(path);
    if (f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() && f.commit())
        return true;
    if (error)
        *error = QStringLiteral("cannot write %1: %2").arg(path, f.errorString());
    return false;
}

double uniform(QRandomGenerator &rng, double lo, double hi)
{
    return lo + (hi - lo) * rng.generateDouble();
}

struct NodeKind
{
    const char *name;
    const char *thread;
    double low;
    double high;
    int algorithm;
    int bolts;
    double head;
    double pitch;
};

// Joints a wrench of about 340 N*m nominal moment tightens in a truck workshop.
const NodeKind kNodes[] = {
    {"Wheel nut", "M22x1.5", 250, 300, 2, 10, 32, 1.5},
    {"Wheel nut", "M20x1.5", 200, 250, 2, 8, 30, 1.5},
    {"Wheel nut", "M18x1.5", 160, 200, 0, 6, 27, 1.5},
    {"Cylinder head bolt", "M14x1.5", 110, 130, 4, 16, 19, 1.5},
    {"Cylinder head bolt", "M12x1.25", 80, 95, 4, 12, 17, 1.25},
    {"Con-rod bolt", "M12x1.25", 95, 110, 2, 8, 14, 1.25},
    {"Main bearing cap", "M16x1.5", 190, 220, 4, 14, 24, 1.5},
    {"Flywheel bolt", "M12x1.25", 100, 120, 1, 8, 17, 1.25},
    {"Spring U-bolt nut", "M24x2", 280, 320, 0, 4, 36, 2.0},
    {"Gearbox mount", "M16x1.5", 150, 180, 1, 4, 24, 1.5},
    {"Cardan flange bolt", "M12x1.25", 90, 110, 3, 8, 17, 1.25},
    {"Brake caliper bolt", "M16x1.5", 170, 200, 5, 4, 24, 1.5},
    {"Oil pan bolt", "M8x1.25", 20, 25, 1, 24, 13, 1.25},
    {"Exhaust manifold nut", "M10x1.25", 40, 50, 8, 12, 15, 1.25},
    {"Axle shaft nut", "M20x1.5", 220, 260, 6, 6, 30, 1.5},
    {"Steering arm nut", "M24x1.5", 290, 330, 9, 2, 36, 1.5},
    {"Cab mount bolt", "M14x1.5", 120, 140, 7, 4, 19, 1.5},
    {"Fifth wheel bolt", "M16x1.5", 180, 210, 0, 8, 24, 1.5},
};

const char *const kSurnames[] = {"Ivanov", "Petrov", "Sidorov", "Smirnov", "Kuznetsov",
                                 "Popov", "Volkov", "Sokolov", "Lebedev", "Kozlov"};
const char *const kInitials[] = {"I.I.", "P.S.", "A.V.", "D.M.", "S.N.",
                                 "V.A.", "O.K.", "E.G.", "M.Yu.", "N.P."};
const char *const kProducts[] = {"KAMAZ-5490", "KAMAZ-65115", "MAZ-5440", "GAZon Next",
                                 "Ural-4320", "ZIL-5301", "LiAZ-5292", "PAZ-3204",
                                 "NefAZ-5299", "MAZ-6501"};
const char *const kAssemblies[] = {"front axle", "rear axle", "engine", "gearbox", "cab"};

bool looksLikeKey(const QString &root)
{
    const QDir dir(root);
    if (!dir.exists())
        return true;
    const QStringList entries = dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    return entries.isEmpty() || entries.contains(KeyFileSystem::recordsFolder())
           || entries.contains(KeyFileSystem::templatesFolder());
}

} // namespace

TemplateLists sampleTemplates(double nm)
{
    TemplateLists t;
    for (int i = 0; i < FioTemplate::Count; ++i) {
        FioTemplate &e = t.fio[size_t(i)];
        e.index = quint8(i);
        e.text1 = QLatin1String(kSurnames[i]);
        e.text2 = QLatin1String(kInitials[i]);
        e.text3 = QStringLiteral("Shift %1, tab %2").arg(i % 3 + 1).arg(1041 + 7 * i);
        e.enabled = i != 9; // one operator has left: listed but not selectable
    }
    const int products = int(sizeof kProducts / sizeof kProducts[0]);
    const int assemblies = int(sizeof kAssemblies / sizeof kAssemblies[0]);
    for (int i = 0; i < WheelTemplate::Count; ++i) {
        WheelTemplate &e = t.wheel[size_t(i)];
        e.index = quint8(i);
        e.text = QStringLiteral("%1 %2").arg(QLatin1String(kProducts[i % products]),
                                             QLatin1String(kAssemblies[(i / products) % assemblies]));
        e.enabled = i < 46;
    }
    const int kinds = int(sizeof kNodes / sizeof kNodes[0]);
    const double scale = nm > 0 ? qMin(1.0, nm / 340.0) : 1.0;
    for (int i = 0; i < UzelTemplate::Count; ++i) {
        const NodeKind &k = kNodes[i % kinds];
        UzelTemplate &e = t.uzel[size_t(i)];
        e.index = quint8(i);
        e.text1 = QStringLiteral("%1 %2").arg(QLatin1String(k.name), QLatin1String(k.thread));
        e.text2 = QStringLiteral("Pos. %1").arg(i / kinds + 1);
        e.text3 = QStringLiteral("Drawing %1-%2").arg(5320 + i % kinds).arg(100 + i);
        e.enabled = i < 90;
        e.algorithm = quint8(k.algorithm);
        e.countBolts = quint8(k.bolts);
        e.lowMoment = float(k.low * scale);
        e.highMoment = float(k.high * scale);
        e.headMm = float(k.head);
        e.startMoment = float(0.3 * k.low * scale);
        e.pitchStep = float(k.pitch);
        if (k.algorithm == 9) {
            e.lowAngle = 2;    // start angle
            e.highAngle = 120; // stop angle
            e.angle = 10;      // increment step
        } else {
            e.lowAngle = 60;
            e.highAngle = 90;
            e.angle = 75;
        }
    }
    return t;
}

QByteArray sampleModesVisibility()
{
    QByteArray b(561, '\0');
    // Modes "Basic", "Assembly", "Control", "Control+", "Axial force".
    static const QVector<int> modes[5] = {
        {0, 1}, {0, 1, 2, 3}, {0, 1, 2, 3, 4, 5}, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, {0, 7}};
    for (int m = 0; m < 5; ++m) {
        for (int a : modes[m])
            b[10 * m + a] = 1;
    }
    // Columns: low and high moment, low and high angle, start moment, pitch, angle.
    static const char rows[10][7] = {
        {1, 1, 0, 0, 0, 0, 0}, {1, 1, 0, 0, 0, 0, 0}, {1, 1, 1, 1, 1, 0, 0}, {1, 1, 0, 0, 0, 0, 0},
        {1, 1, 1, 1, 1, 0, 1}, {1, 1, 0, 0, 1, 0, 1}, {1, 1, 0, 0, 0, 0, 0}, {1, 1, 0, 0, 0, 1, 0},
        {1, 1, 0, 0, 1, 0, 1}, {1, 1, 1, 1, 1, 0, 1}};
    for (int a = 0; a < 10; ++a) {
        for (int c = 0; c < 7; ++c)
            b[51 + 8 * a + c] = rows[a][c];
    }
    return b;
}

bool isNg(const RecordHeader &h, const MeasureEntry &e)
{
    const double m = std::fabs(double(e.moment));
    if (m > double(h.rangeHigh) || m < double(h.rangeLow))
        return true;
    if (h.algorithm == 2 || h.algorithm == 4) {
        const double a = std::fabs(double(e.angle));
        return a > double(h.angleHigh) || a < double(h.angleLow);
    }
    return false;
}

MeasureEntry makeTightening(const RecordHeader &h, QRandomGenerator &rng, const QDateTime &when)
{
    MeasureEntry e;
    const double low = double(h.rangeLow);
    const double high = qMax(double(h.rangeHigh), low);
    const double span = qMax(high - low, 0.05 * qMax(high, 1.0));
    const double u = rng.generateDouble();
    double moment;
    if (u < 0.06)
        moment = low - uniform(rng, 0.05, 0.25) * span; // under-tightened
    else if (u < 0.12)
        moment = high + uniform(rng, 0.05, 0.25) * span; // over-tightened
    else // bunched toward the middle, as a fitter aims there
        moment = low + span * (0.5 + 0.45 * (rng.generateDouble() + rng.generateDouble() - 1.0));
    if (high > low)
        moment = qMax(moment, 0.0);
    e.moment = float(std::round(moment * 100) / 100);

    if (rng.bounded(10) == 0)
        e.correctedDefect = float(std::round(moment * uniform(rng, 0.9, 1.05) * 100) / 100);

    const double aLow = double(h.angleLow);
    const double aHigh = qMax(double(h.angleHigh), aLow);
    double angle;
    if (h.algorithm == 2 || h.algorithm == 4 || h.algorithm == 8 || h.algorithm == 9) {
        const double aSpan = qMax(aHigh - aLow, 1.0);
        angle = rng.bounded(12) == 0 ? aHigh + uniform(rng, 0.05, 0.3) * aSpan
                                     : uniform(rng, aLow, aLow + aSpan);
    } else {
        angle = uniform(rng, 15, 95);
    }
    e.angle = float(std::round(angle * 10) / 10);

    const QDate d = when.date();
    const QTime t = when.time();
    e.year = quint16(qBound(0, d.year() - 2000, 0xFFFF));
    e.month = quint8(d.month());
    e.day = quint8(d.day());
    e.hour = quint8(t.hour());
    e.minute = quint8(t.minute());
    e.second = quint8(t.second());
    return e;
}

void updateRecordStatus(RecordFile &record)
{
    RecordHeader &h = record.header;
    quint16 s = h.status & quint16(~(StatusStarted | StatusComplete | StatusHasNg));
    const int done = record.entries.size();
    if (done > 0 && done >= int(h.countTotal))
        s |= StatusComplete;
    else if (done > 0)
        s |= StatusStarted;
    for (const MeasureEntry &e : record.entries) {
        if (isNg(h, e)) {
            s |= StatusHasNg;
            break;
        }
    }
    h.status = s;
}

bool makeKey(const MakeKeyOptions &o, QString *error)
{
    auto fail = [&](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    if (o.root.isEmpty())
        return fail(QStringLiteral("no key root given"));
    if (o.records < 0 || o.measures < 0 || o.measures > 4096)
        return fail(QStringLiteral("records must be >= 0 and measures 0..4096"));
    if (!looksLikeKey(o.root))
        return fail(QStringLiteral("%1 holds other files and no key folders; not touching it").arg(o.root));

    KeyFileSystem fs(o.root);
    if (!fs.ensureStandardFolders())
        return fail(QStringLiteral("cannot make the key folders under %1").arg(o.root));
    if (fs.removeAllRecords() < 0)
        return fail(QStringLiteral("cannot clear %1/dbsett").arg(o.root));

    QRandomGenerator rng(o.seed);
    KeyState state;
    state.device.SerialNo = QStringLiteral("2907K%1").arg(o.seed % 1000000, 6, 10, QLatin1Char('0'));
    state.KeyName = QStringLiteral("Key %1").arg(state.device.SerialNo);

    const TemplateLists t = sampleTemplates(state.calibration.nm);
    const QString templates = o.root + QLatin1Char('/') + KeyFileSystem::templatesFolder() + QLatin1Char('/');
    for (TemplateKind kind : {TemplateKind::Fio, TemplateKind::Wheel, TemplateKind::Uzel}) {
        if (!writeAtomically(templates + QLatin1String(TemplateBinary::fileName(kind)),
                             TemplateBinary::encode(kind, t), error))
            return false;
    }
    if (!writeAtomically(templates + QStringLiteral("ModesVisibility"), sampleModesVisibility(), error))
        return false;

    QVector<int> fios, wheels, uzels;
    for (const FioTemplate &e : t.fio)
        if (e.enabled)
            fios.append(e.index);
    for (const WheelTemplate &e : t.wheel)
        if (e.enabled)
            wheels.append(e.index);
    for (const UzelTemplate &e : t.uzel)
        if (e.enabled)
            uzels.append(e.index);

    const QDateTime now = QDateTime::currentDateTime();
    QSet<QString> names;
    QString firstName;
    int attempts = 0;
    while (names.size() < o.records) {
        if (++attempts > 100 * (o.records + 10))
            return fail(QStringLiteral("could not find %1 distinct record names").arg(o.records));
        const int fio = fios.at(int(rng.bounded(fios.size())));
        const int wheel = wheels.at(int(rng.bounded(wheels.size())));
        const int uzel = uzels.at(int(rng.bounded(uzels.size())));
        // Operation numbers as a plant numbers them: mostly digits, some with a series letter.
        QString op = QStringLiteral("%1").arg(rng.bounded(1, 100000), 10, 10, QLatin1Char('0'));
        if (rng.bounded(4) == 0)
            op[0] = QLatin1Char(char('A' + rng.bounded(26)));
        const QString name = RecordName::make(fio, wheel, op, uzel);
        if (names.contains(name))
            continue;
        names.insert(name);
        if (firstName.isEmpty())
            firstName = name;

        const UzelTemplate &node = t.uzel[size_t(uzel)];
        RecordFile rec;
        RecordHeader &h = rec.header;
        h.setOperationNumber(op);
        h.algorithm = node.algorithm;
        h.fioIndex = quint8(fio);
        h.wheelIndex = quint8(wheel);
        h.uzelIndex = quint8(uzel);
        h.rangeLow = node.lowMoment;
        h.rangeHigh = node.highMoment;
        h.headMm = node.headMm;
        h.angleLow = node.lowAngle;
        h.angleHigh = node.highAngle;
        h.startMom = node.startMoment;
        h.pitchStep = node.pitchStep;
        h.angle = node.angle;
        h.countTotal = quint16(qMax(1, o.measures + int(rng.bounded(3))));

        // A shift's work: tightenings a minute or two apart, some days ago.
        QDateTime when = now.addDays(-qint64(rng.bounded(1, 30))).addSecs(-qint64(rng.bounded(8 * 3600)));
        for (int m = 0; m < o.measures; ++m) {
            rec.entries.append(makeTightening(h, rng, when));
            when = when.addSecs(qint64(rng.bounded(40, 180)));
        }
        updateRecordStatus(rec);
        const QString path = fs.recordPath(name);
        if (path.isEmpty())
            return fail(QStringLiteral("record name %1 is not a safe file name").arg(name));
        if (!writeAtomically(path, rec.toBytes(), error))
            return false;
    }

    state.currentPage = firstName;
    if (!state.save(o.root + QLatin1Char('/') + KeyState::stateFileName()))
        return fail(QStringLiteral("cannot write the key state under %1").arg(o.root));
    return true;
}

QString appendLiveTightening(KeyFileSystem &fs, KeyState &state, QRandomGenerator &rng)
{
    QString name = state.currentPage;
    if (name.isEmpty() || !QFileInfo(fs.recordPath(name)).isFile()) {
        const QStringList names = fs.recordNames();
        if (names.isEmpty()) {
            td::log(QStringLiteral("keysim: no record to measure into"));
            return QString();
        }
        name = names.first();
    }
    return appendTighteningTo(fs, state, rng, name) ? name : QString();
}

bool appendTighteningTo(KeyFileSystem &fs, KeyState &state, QRandomGenerator &rng, const QString &name)
{
    const QString path = fs.recordPath(name);
    QFile f(path);
    if (path.isEmpty() || !f.open(QIODevice::ReadOnly)) {
        td::log(QStringLiteral("keysim: cannot read record %1").arg(name));
        return false;
    }
    const RecordFile::ReadResult r = RecordFile::read(f.read(RecordHeader::Size + 4096 * MeasureEntry::Size));
    f.close();
    // A damaged record stays as it is: writing it anew would mend what a test put there.
    if (!r.ok()) {
        td::log(QStringLiteral("keysim: record %1 unusable: %2").arg(name, r.problem));
        return false;
    }
    RecordFile rec = r.record;
    if (rec.entries.size() >= 4096) {
        td::log(QStringLiteral("keysim: record %1 is full").arg(name));
        return false;
    }
    rec.entries.append(makeTightening(rec.header, rng, state.keyClock()));
    updateRecordStatus(rec);
    QString error;
    if (!writeAtomically(path, rec.toBytes(), &error)) {
        td::log(QStringLiteral("keysim: ") + error);
        return false;
    }
    return true;
}

} // namespace keysim
