#include "records/TemplateBinary.h"
#include "records/TemplateJson.h"
#include "records/TemplateLists.h"
#include "base/Utf8Field.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

#include <cstring>

namespace {

float f32At(const QByteArray &b, int off)
{
    quint32 bits = quint8(b[off]) | quint32(quint8(b[off + 1])) << 8 | quint32(quint8(b[off + 2])) << 16
                   | quint32(quint8(b[off + 3])) << 24;
    float f;
    std::memcpy(&f, &bits, 4);
    return f;
}

QString cyr(int n) { return QString(n, QChar(0x0416)); } // two UTF-8 bytes each

bool sameUzel(const UzelTemplate &a, const UzelTemplate &b)
{
    return a.text1 == b.text1 && a.text2 == b.text2 && a.text3 == b.text3
           && a.countBolts == b.countBolts && a.enabled == b.enabled && a.index == b.index
           && a.algorithm == b.algorithm && a.lowMoment == b.lowMoment
           && a.highMoment == b.highMoment && a.headMm == b.headMm && a.lowAngle == b.lowAngle
           && a.highAngle == b.highAngle && a.startMoment == b.startMoment
           && a.pitchStep == b.pitchStep && a.angle == b.angle;
}

QByteArray fioJson(int elements)
{
    QJsonArray a;
    for (int i = 0; i < elements; ++i) {
        QJsonObject o;
        o["Text1"] = QStringLiteral("Ivanov%1").arg(i);
        o["Text2"] = QStringLiteral("I.I.");
        o["Text3"] = QStringLiteral("shift %1").arg(i);
        o["IsEnable"] = i % 2;
        a.append(o);
    }
    QJsonObject root;
    root["Company"] = "anything";
    root["FioTypeElement"] = a;
    return QJsonDocument(root).toJson();
}

} // namespace

class TestTemplates : public QObject
{
    Q_OBJECT
private slots:
    void filesHaveTheirSizesAndSlots();
    void uzelFieldLayout();
    void binaryRoundTripIsByteExact();
    void defaultsForNominalMoment100();
    void receivedFilesApplyByTheirIndexByte();
    void shortReceivedFileAppliesWholeEntries();
    void lookupErrors();
    void jsonHeaderAndRoundTrip();
    void jsonWithTwelveAndThreeElements();
    void jsonThatCannotBeUsedChangesNothing();
    void jsonPartialElementKeepsTheRest();
    void controlCharactersAreCleanedOnArrival();
    void utf8CutsAtCharacterBoundaries();
    void overlongTextsAreReportedByField();
};

void TestTemplates::filesHaveTheirSizesAndSlots()
{
    const TemplateLists t = TemplateLists::defaults(100, 24);
    const QByteArray fio = TemplateBinary::encodeFio(t);
    const QByteArray wheel = TemplateBinary::encodeWheel(t);
    const QByteArray uzel = TemplateBinary::encodeUzel(t);
    QCOMPARE(fio.size(), 950);
    QCOMPARE(wheel.size(), 5150);
    QCOMPARE(uzel.size(), 16000);
    for (int i = 0; i < 10; ++i) {
        QCOMPARE(int(quint8(fio[95 * i + 94])), i);
        QCOMPARE(int(fio[95 * i + 93]), 1);
        QCOMPARE(fio.mid(95 * i, 9), QStringLiteral("object%1").arg(i, 2, 10, QLatin1Char('0')).toUtf8() + '\0');
    }
    for (int i = 0; i < 50; ++i) {
        QCOMPARE(int(quint8(wheel[103 * i + 102])), i);
        QCOMPARE(wheel.mid(103 * i, 6), QStringLiteral("unit%1").arg(i, 2, 10, QLatin1Char('0')).toUtf8());
    }
    for (int i = 0; i < 100; ++i) {
        QCOMPARE(int(quint8(uzel[160 * i + 125])), i);
        QCOMPARE(uzel.mid(160 * i + 82, 6), QStringLiteral("node%1").arg(i, 2, 10, QLatin1Char('0')).toUtf8());
    }
}

void TestTemplates::uzelFieldLayout()
{
    TemplateLists t;
    UzelTemplate &e = t.uzel[7];
    e.text1 = "main";
    e.text2 = "two";
    e.text3 = "three";
    e.countBolts = 12;
    e.enabled = false;
    e.algorithm = 9;
    e.lowMoment = 1;
    e.highMoment = 2;
    e.headMm = 3;
    e.lowAngle = 4;
    e.highAngle = 5;
    e.startMoment = 6;
    e.pitchStep = 7;
    e.angle = 8;
    const QByteArray all = TemplateBinary::encodeUzel(t);
    const QByteArray b = all.mid(160 * 7, 160);
    QCOMPARE(b.left(4), QByteArray("two\0", 4));
    QCOMPARE(b.mid(41, 6), QByteArray("three\0", 6));
    QCOMPARE(b.mid(82, 5), QByteArray("main\0", 5));
    QCOMPARE(int(b[123]), 12);
    QCOMPARE(int(b[124]), 0);
    QCOMPARE(int(b[125]), 7);
    QCOMPARE(int(b[126]), 0);
    QCOMPARE(int(b[127]), 9);
    for (int k = 0; k < 8; ++k)
        QCOMPARE(f32At(b, 128 + 4 * k), float(k + 1));
}

void TestTemplates::binaryRoundTripIsByteExact()
{
    TemplateLists t = TemplateLists::defaults(250, 19);
    t.fio[3].text2 = cyr(15); // 30 bytes: exactly fills the field
    t.fio[4].enabled = false;
    t.wheel[49].text = QStringLiteral("Колесо R17 \U0001F527");
    t.uzel[99].lowMoment = 0.1f;
    t.uzel[99].algorithm = 5;

    for (TemplateKind k : {TemplateKind::Fio, TemplateKind::Wheel, TemplateKind::Uzel}) {
        QVector<TemplateTextCut> cuts;
        const QByteArray bytes = TemplateBinary::encode(k, t, &cuts);
        QVERIFY(cuts.isEmpty());
        TemplateLists back;
        const auto r = TemplateBinary::apply(k, bytes, &back);
        QVERIFY(r.problem.isEmpty());
        QVERIFY(!r.short_);
        QCOMPARE(TemplateBinary::encode(k, back), bytes);
        if (k == TemplateKind::Uzel) {
            QCOMPARE(r.applied.size(), 100);
            for (int i = 0; i < 100; ++i)
                QVERIFY(sameUzel(back.uzel[size_t(i)], t.uzel[size_t(i)]));
        }
        if (k == TemplateKind::Fio) {
            QCOMPARE(back.fio[3].text2, cyr(15));
            QVERIFY(!back.fio[4].enabled);
        }
        if (k == TemplateKind::Wheel)
            QCOMPARE(back.wheel[49].text, t.wheel[49].text);
    }
}

void TestTemplates::defaultsForNominalMoment100()
{
    const TemplateLists t = TemplateLists::defaults(100, 32);
    QCOMPARE(t.fio[0].text1, QStringLiteral("object00"));
    QCOMPARE(t.fio[9].text2, QStringLiteral("no09"));
    QCOMPARE(t.fio[9].text3, QStringLiteral("name09"));
    QCOMPARE(t.wheel[49].text, QStringLiteral("unit49"));
    for (int i = 0; i < 100; ++i) {
        const UzelTemplate &e = t.uzel[size_t(i)];
        QCOMPARE(e.text1, QStringLiteral("node%1").arg(i, 2, 10, QLatin1Char('0')));
        QVERIFY(e.enabled);
        QCOMPARE(int(e.index), i);
        QCOMPARE(int(e.algorithm), 0);
        QCOMPARE(int(e.countBolts), 8);
        QCOMPARE(e.lowMoment, 70.0f);
        QCOMPARE(e.highMoment, 80.0f);
        QCOMPARE(e.startMoment, 10.0f);
        QCOMPARE(e.lowAngle, 1.0f);
        QCOMPARE(e.highAngle, 3.0f);
        QCOMPARE(e.angle, 1.0f);
        QCOMPARE(e.pitchStep, 0.5f);
        QCOMPARE(e.headMm, 32.0f);
    }
    // And they land in the file, entry i at 160 * i.
    const QByteArray b = TemplateBinary::encodeUzel(t);
    QCOMPARE(f32At(b, 160 * 42 + 128), 70.0f);
    QCOMPARE(f32At(b, 160 * 42 + 132), 80.0f);
    QCOMPARE(f32At(b, 160 * 42 + 148), 10.0f);
    QCOMPARE(int(b[160 * 42 + 123]), 8);
}

void TestTemplates::receivedFilesApplyByTheirIndexByte()
{
    TemplateLists src;
    for (int i = 0; i < 10; ++i)
        src.fio[size_t(i)].text1 = QStringLiteral("slot%1").arg(i);
    QByteArray file = TemplateBinary::encodeFio(src);
    file[95 * 0 + 94] = 5;          // slot 0 claims index 5
    file[95 * 1 + 94] = char(200);  // slot 1: out of range, skipped
    file[95 * 5 + 94] = 10;         // slot 5: just out of range, skipped

    TemplateLists dst;
    dst.fio[0].text1 = "kept0";
    dst.fio[1].text1 = "kept1";
    const auto r = TemplateBinary::apply(TemplateKind::Fio, file, &dst);
    QCOMPARE(dst.fio[5].text1, QStringLiteral("slot0"));
    QCOMPARE(dst.fio[0].text1, QStringLiteral("kept0"));
    QCOMPARE(dst.fio[1].text1, QStringLiteral("kept1"));
    QCOMPARE(dst.fio[9].text1, QStringLiteral("slot9"));
    QCOMPARE(r.skippedIndexes, QVector<int>({200, 10}));
    QCOMPARE(r.applied.size(), 8);
    QVERIFY(r.problem.contains(QLatin1String("200")));

    QByteArray wheel = TemplateBinary::encodeWheel(src);
    wheel[103 * 3 + 102] = 50;
    TemplateLists w;
    QCOMPARE(TemplateBinary::apply(TemplateKind::Wheel, wheel, &w).skippedIndexes, QVector<int>({50}));
    QByteArray uzel = TemplateBinary::encodeUzel(src);
    uzel[160 * 99 + 125] = 100;
    TemplateLists u;
    QCOMPARE(TemplateBinary::apply(TemplateKind::Uzel, uzel, &u).skippedIndexes, QVector<int>({100}));
}

void TestTemplates::shortReceivedFileAppliesWholeEntries()
{
    const TemplateLists src = TemplateLists::defaults(100, 20);
    const QByteArray full = TemplateBinary::encodeUzel(src);
    for (int len : {0, 159, 160, 500, 15999}) {
        TemplateLists dst;
        const QByteArray part(full.constData(), len);
        const auto r = TemplateBinary::apply(TemplateKind::Uzel, part, &dst);
        QVERIFY(r.short_);
        QVERIFY(!r.problem.isEmpty());
        QCOMPARE(r.applied.size(), len / 160);
        if (len >= 160)
            QCOMPARE(dst.uzel[0].text1, QStringLiteral("node00"));
        QCOMPARE(dst.uzel[size_t(len / 160)].text1, QString()); // first missing entry untouched
    }
    // Longer than the file: the extra bytes are not entries.
    TemplateLists dst;
    const auto r = TemplateBinary::apply(TemplateKind::Fio, TemplateBinary::encodeFio(src) + QByteArray(95, '\0'), &dst);
    QCOMPARE(r.applied.size(), 10);
    QVERIFY(!r.short_);
}

void TestTemplates::lookupErrors()
{
    const TemplateLists t = TemplateLists::defaults(100, 0);
    QCOMPARE(t.fioText(12, 0), QStringLiteral("error FIO"));
    QCOMPARE(t.fioText(10, 0), QStringLiteral("error FIO"));
    QCOMPARE(t.fioText(0, 3), QStringLiteral("error FIO"));
    QCOMPARE(t.fioText(-1, 0), QStringLiteral("error FIO"));
    QCOMPARE(t.fioText(9, 2), QStringLiteral("name09"));
    QCOMPARE(t.wheelText(50), QStringLiteral("error WHEEL"));
    QCOMPARE(t.wheelText(0, 1), QStringLiteral("error WHEEL"));
    QCOMPARE(t.wheelText(49), QStringLiteral("unit49"));
    QCOMPARE(t.uzelText(100, 0), QStringLiteral("error UZEL"));
    QCOMPARE(t.uzelText(0, 3), QStringLiteral("error UZEL"));
    QCOMPARE(t.uzelText(99, 1), QStringLiteral("no99"));
}

void TestTemplates::jsonHeaderAndRoundTrip()
{
    TemplateLists t = TemplateLists::defaults(100, 24);
    t.uzel[3].pitchStep = 0.7f;
    t.uzel[3].enabled = false;
    const QDateTime when(QDate(2024, 3, 5), QTime(7, 8, 9));
    QCOMPARE(TemplateJson::dateText(when), QStringLiteral("2024-03-05_07-08-09"));

    const int sizes[] = {10, 50, 100};
    for (TemplateKind k : {TemplateKind::Fio, TemplateKind::Wheel, TemplateKind::Uzel}) {
        const QByteArray json = TemplateJson::write(k, t, when);
        QVERIFY(json.endsWith('\n'));
        const QJsonObject o = QJsonDocument::fromJson(json).object();
        QCOMPARE(o["Company"].toString(), QStringLiteral("Trevonics Devices"));
        QCOMPARE(o["Device"].toString(), QStringLiteral("Key"));
        QCOMPARE(o["Customer"].toString(), QStringLiteral("customer name"));
        QCOMPARE(o["Avtor"].toString(), QStringLiteral("avtor name"));
        QVERIFY(o["Web"].isString() && o["Email"].isString());
        QCOMPARE(o["Date"].toString(), QStringLiteral("2024-03-05_07-08-09"));
        QCOMPARE(o[TemplateJson::arrayKey(k)].toArray().size(), sizes[int(k)]);

        TemplateLists back;
        const auto r = TemplateJson::read(k, json, &back);
        QVERIFY(r.ok);
        QCOMPARE(r.applied, sizes[int(k)]);
        QCOMPARE(TemplateBinary::encode(k, back), TemplateBinary::encode(k, t));
    }
    const QJsonObject u3 = QJsonDocument::fromJson(TemplateJson::write(TemplateKind::Uzel, t, when))
                               .object()["UzelTypeElement"].toArray()[3].toObject();
    QCOMPARE(u3["PitchStep"].toDouble(), 0.7); // written as 0.7, not 0.699999988
    QCOMPARE(u3["LowMoment"].toDouble(), 70.0);
    QCOMPARE(u3["IsEnable"].toInt(), 0);
    QCOMPARE(u3["Text1"].toString(), QStringLiteral("node03"));
}

void TestTemplates::jsonWithTwelveAndThreeElements()
{
    TemplateLists t = TemplateLists::defaults(100, 0);
    auto r = TemplateJson::read(TemplateKind::Fio, fioJson(12), &t);
    QVERIFY(r.ok);
    QCOMPARE(r.applied, 10);
    QCOMPARE(r.ignored, 2);
    QCOMPARE(t.fio[9].text1, QStringLiteral("Ivanov9"));
    QCOMPARE(t.fio[9].text3, QStringLiteral("shift 9"));
    QVERIFY(t.fio[9].enabled);
    QVERIFY(!t.fio[8].enabled);

    t = TemplateLists::defaults(100, 0);
    r = TemplateJson::read(TemplateKind::Fio, fioJson(3), &t);
    QVERIFY(r.ok);
    QCOMPARE(r.applied, 3);
    QCOMPARE(r.ignored, 0);
    QCOMPARE(t.fio[2].text1, QStringLiteral("Ivanov2"));
    QCOMPARE(t.fio[3].text1, QStringLiteral("object03"));
    QCOMPARE(t.fio[9].text1, QStringLiteral("object09"));
    QVERIFY(t.fio[9].enabled);
}

void TestTemplates::jsonThatCannotBeUsedChangesNothing()
{
    const TemplateLists before = TemplateLists::defaults(100, 0);
    const QByteArray bad[] = {QByteArray("{not json"), QByteArray("[1,2,3]"),
                              QByteArray("{\"WheelTypeElement\":[]}"),
                              QByteArray("{\"FioTypeElement\":{\"Text1\":\"x\"}}"), QByteArray()};
    for (const QByteArray &json : bad) {
        TemplateLists t = before;
        const auto r = TemplateJson::read(TemplateKind::Fio, json, &t);
        QVERIFY(!r.ok);
        QCOMPARE(r.applied, 0);
        QVERIFY(!r.problem.isEmpty());
        QCOMPARE(TemplateBinary::encodeFio(t), TemplateBinary::encodeFio(before));
    }
}

void TestTemplates::controlCharactersAreCleanedOnArrival()
{
    TemplateLists t = TemplateLists::defaults(100, 0);
    const QByteArray json = R"({"FioTypeElement":[{"Text1":"Iva\u0000nov","Text2":"I.\u0001I.","Text3":"shift\n2"}]})";
    QVERIFY(TemplateJson::read(TemplateKind::Fio, json, &t).ok);
    QCOMPARE(t.fio[0].text1, QStringLiteral("Ivanov"));
    QCOMPARE(t.fio[0].text2, QStringLiteral("I.I."));
    QCOMPARE(t.fio[0].text3, QStringLiteral("shift 2"));
    // The key's own binary file: a control character inside a field goes too.
    t.wheel[0].text = QStringLiteral("Wheel 10");
    QByteArray file = TemplateBinary::encode(TemplateKind::Wheel, t);
    const int at = file.indexOf("Wheel 10");
    QVERIFY(at >= 0);
    file[at + 5] = '\x02';
    TemplateLists back = TemplateLists::defaults(100, 0);
    QVERIFY(TemplateBinary::apply(TemplateKind::Wheel, file, &back).problem.isEmpty());
    QCOMPARE(back.wheel[0].text, QStringLiteral("Wheel10"));
}

void TestTemplates::jsonPartialElementKeepsTheRest()
{
    TemplateLists t = TemplateLists::defaults(100, 0);
    const QByteArray json = R"({"UzelTypeElement":[
        {"Text1":"bolt M12","LowMoment":55.5,"Algorithm":42,"CountBolts":300},
        7,
        {"Text2":5,"IsEnable":false,"CountBolts":6.9}]})";
    const auto r = TemplateJson::read(TemplateKind::Uzel, json, &t);
    QVERIFY(r.ok);
    QCOMPARE(r.applied, 2);
    QCOMPARE(r.ignored, 1); // the bare 7
    QCOMPARE(r.rows, (QVector<int>{0, 2}));
    QCOMPARE(t.uzel[0].text1, QStringLiteral("bolt M12"));
    QCOMPARE(t.uzel[0].text2, QStringLiteral("no00")); // missing key: kept
    QCOMPARE(t.uzel[0].lowMoment, 55.5f);
    QCOMPARE(t.uzel[0].highMoment, 80.0f);
    QCOMPARE(int(t.uzel[0].algorithm), 0);   // unknown code falls back to 0
    QCOMPARE(int(t.uzel[0].countBolts), 255); // clamped to a byte
    QCOMPARE(t.uzel[1].text1, QStringLiteral("node01")); // non-object element: row kept
    QCOMPARE(t.uzel[2].text2, QStringLiteral("no02"));   // number where text belongs: kept
    QVERIFY(!t.uzel[2].enabled);
    QCOMPARE(int(t.uzel[2].countBolts), 6); // truncated toward zero
}

void TestTemplates::utf8CutsAtCharacterBoundaries()
{
    bool cut = false;
    // 16 two-byte letters = 32 bytes into a 31-byte field (30 of text): 15 letters.
    QByteArray b = Utf8Field::fit(cyr(16), 31, &cut);
    QVERIFY(cut);
    QCOMPARE(b.size(), 30);
    QCOMPARE(QString::fromUtf8(b), cyr(15));
    // One ASCII byte shifts the boundary: 1 + 15*2 = 31 bytes; byte 30 would split a letter.
    b = Utf8Field::fit(QStringLiteral("a") + cyr(15), 31, &cut);
    QVERIFY(cut);
    QCOMPARE(b.size(), 29);
    QCOMPARE(QString::fromUtf8(b), QStringLiteral("a") + cyr(14));
    // Four-byte characters: 28 ASCII + an emoji (4 bytes) would need 32.
    b = Utf8Field::fit(QString(28, 'x') + QString::fromUcs4(U"\U0001F527"), 31, &cut);
    QVERIFY(cut);
    QCOMPARE(b, QByteArray(28, 'x'));
    // Exactly the field: not cut.
    b = Utf8Field::fit(QString(30, 'y'), 31, &cut);
    QVERIFY(!cut);
    QCOMPARE(b.size(), 30);
    // An embedded NUL ends the text the key would read.
    b = Utf8Field::fit(QStringLiteral("ab") + QChar(0) + QStringLiteral("cd"), 31, &cut);
    QVERIFY(cut);
    QCOMPARE(b, QByteArray("ab"));

    // Every cut of every length stays valid UTF-8.
    const QString mixed = QStringLiteral("Ж1\U0001F527ёz") + cyr(3) + QStringLiteral("€");
    for (int field = 1; field <= 24; ++field) {
        const QByteArray part = Utf8Field::fit(mixed, field, &cut);
        QVERIFY(part.size() <= field - 1);
        QVERIFY(mixed.startsWith(QString::fromUtf8(part)));
        QVERIFY(!QString::fromUtf8(part).contains(QChar::ReplacementCharacter));
    }

    // A field with no NUL reads as the whole field; a split character is replaced, not overrun.
    const QByteArray field = QByteArray(30, 'q') + char(0xD0);
    QCOMPARE(Utf8Field::read(field.constData(), 31).left(30), QString(30, 'q'));
    QCOMPARE(Utf8Field::read(field.constData(), 31).size(), 31);
}

void TestTemplates::overlongTextsAreReportedByField()
{
    TemplateLists t;
    t.fio[2].text3 = cyr(20);                  // 40 bytes > 30
    t.wheel[7].text = QString(120, 'w');       // > 100
    t.uzel[11].text1 = QStringLiteral("a") + cyr(25); // 51 bytes > 40
    t.uzel[11].text2 = QString(40, 'n');       // exactly fits

    QVector<TemplateTextCut> cuts;
    const QByteArray fio = TemplateBinary::encodeFio(t, &cuts);
    QCOMPARE(cuts.size(), 1);
    QCOMPARE(cuts[0].kind, TemplateKind::Fio);
    QCOMPARE(cuts[0].entry, 2);
    QCOMPARE(cuts[0].field, QStringLiteral("Text3"));
    QVERIFY(cuts[0].message().contains(QLatin1String("Text3")));
    QVERIFY(cuts[0].message().contains(QLatin1String("3"))); // row shown counted from 1
    QCOMPARE(fio.mid(95 * 2 + 62, 31), cyr(15).toUtf8() + '\0');

    cuts.clear();
    TemplateBinary::encodeWheel(t, &cuts);
    QCOMPARE(cuts.size(), 1);
    QCOMPARE(cuts[0].entry, 7);

    cuts.clear();
    const QByteArray uzel = TemplateBinary::encodeUzel(t, &cuts);
    QCOMPARE(cuts.size(), 1);
    QCOMPARE(cuts[0].field, QStringLiteral("Text1"));
    QCOMPARE(QString::fromUtf8(uzel.mid(160 * 11 + 82, 39)), QStringLiteral("a") + cyr(19));
    QCOMPARE(int(uzel[160 * 11 + 82 + 39]), 0);

    // Importing the same texts from JSON fits them at once and reports them.
    QJsonObject e;
    e["Text"] = QString(101, 'w');
    QJsonObject root;
    root["WheelTypeElement"] = QJsonArray{e};
    TemplateLists j;
    const auto r = TemplateJson::read(TemplateKind::Wheel, QJsonDocument(root).toJson(), &j);
    QCOMPARE(r.cuts.size(), 1);
    QCOMPARE(r.cuts[0].field, QStringLiteral("Text"));
    QCOMPARE(j.wheel[0].text.size(), 100);
}

QTEST_GUILESS_MAIN(TestTemplates)
#include "tst_templates.moc"
