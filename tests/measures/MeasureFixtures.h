#pragma once

// Record files written straight into a temporary data root's dbsett mirror, with entries
// chosen by the test, and template texts with a quote in every one of them.

#include "base/Paths.h"
#include "records/RecordFile.h"
#include "records/RecordMirror.h"
#include "records/TemplateLists.h"

#include <QDir>
#include <QFile>

namespace fixtures {

inline MeasureEntry entry(float moment, float defect = 0, float angle = 0)
{
    MeasureEntry e;
    e.moment = moment;
    e.correctedDefect = defect;
    e.angle = angle;
    e.year = 26;
    e.month = 3;
    e.day = 7;
    e.hour = 9;
    e.minute = 5;
    e.second = 4;
    return e;
}

inline RecordHeader header(int algorithm = 0, float low = 10, float high = 20)
{
    RecordHeader h;
    h.setOperationNumber(QStringLiteral("O'NEILL001"));
    h.algorithm = quint8(algorithm);
    h.fioIndex = 1;
    h.wheelIndex = 2;
    h.uzelIndex = 3;
    h.countTotal = 8;
    h.rangeLow = low;
    h.rangeHigh = high;
    h.angleLow = 30;
    h.angleHigh = 60;
    return h;
}

inline bool writeRecord(const QString &name, const RecordHeader &h, const QVector<MeasureEntry> &entries)
{
    RecordFile r;
    r.header = h;
    r.entries = entries;
    QString error;
    QDir().mkpath(RecordMirror::folder());
    return RecordMirror::write(name, r, &error);
}

// Raw bytes, for files the program itself would never write.
inline bool writeRaw(const QString &name, const QByteArray &bytes)
{
    QDir().mkpath(RecordMirror::folder());
    QFile f(RecordMirror::path(name));
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

inline TemplateLists quotedTemplates()
{
    TemplateLists t;
    for (size_t i = 0; i < t.fio.size(); ++i) {
        t.fio[i].text1 = QStringLiteral("O'Neill");
        t.fio[i].text2 = QStringLiteral("Pat'");
        t.fio[i].text3 = QStringLiteral("'); DROP TABLE codes; --");
    }
    for (auto &w : t.wheel)
        w.text = QStringLiteral("Wheel 'A'");
    for (auto &u : t.uzel) {
        u.text1 = QStringLiteral("Hub'");
        u.text2 = QStringLiteral("it's");
        u.text3 = QStringLiteral("''");
    }
    return t;
}

} // namespace fixtures
