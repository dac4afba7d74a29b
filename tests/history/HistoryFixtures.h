#pragma once

#include "history/HistoryLocation.h"
#include "history/HistoryMeasure.h"

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QSqlDatabase>
#include <QVector>

// Measures with distinct keys for store tests: record r, index i, minute by minute from start.
inline QVector<HistoryMeasure> makeMeasures(int count, const QString &record = QStringLiteral("0101000000004201"),
                                            const QString &serial = QStringLiteral("SN-1"),
                                            const QDateTime &start = QDateTime(QDate(2026, 3, 1), QTime(8, 0)))
{
    QVector<HistoryMeasure> out;
    for (int i = 0; i < count; ++i) {
        HistoryMeasure m;
        m.keySerial = serial;
        m.keyName = QStringLiteral("Key A");
        m.recordName = record;
        m.connectionIndex = i;
        m.measuredAt = start.addSecs(60 * i).toString(QLatin1String(HistoryMeasure::TimeFormat));
        m.moment = 50.0 + (i % 7) * 0.25;
        m.defect = 0;
        m.angle = 30 + i;
        m.momentLow = 45;
        m.momentHigh = 55;
        m.angleLow = 10;
        m.angleHigh = 90;
        m.ok = m.moment >= 45 && m.moment <= 55;
        m.algorithm = 0;
        m.operatorText = QStringLiteral("Ivanov I I");
        m.product = QStringLiteral("Wheel 10");
        m.operationNumber = QStringLiteral("0000000042");
        m.node = QStringLiteral("Hub left");
        m.operatorName = QStringLiteral("Petrov");
        m.calibrationNominal = 100;
        m.calibrationFile = QStringLiteral("DWK100_01_SN-1.clb");
        m.receivedAt = QStringLiteral("2026-03-02 09:00:00");
        out << m;
    }
    return out;
}

// Overwrites two pages a third of the way into an SQLite file with junk, as a failing disk would:
// the file still opens, reading through the table fails. False when the file is too small to
// damage in the middle.
inline bool damageMiddlePages(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadWrite))
        return false;
    const qint64 page = 4096;
    const qint64 pages = f.size() / page;
    if (pages <= 20)
        return false;
    for (qint64 p = pages / 3; p < pages / 3 + 2; ++p) {
        f.seek(p * page);
        f.write(QByteArray(int(page), '\xa5'));
    }
    return true;
}

// A connection of its own to the history at url, as another station or a psql session would
// open one: the tests and benchmarks look at or change a history behind the program's back.
inline QSqlDatabase rawConnection(const QString &url, const QString &name)
{
    HistoryLocation loc;
    QString error;
    HistoryLocation::parse(url, &loc, &error);
    QSqlDatabase raw = QSqlDatabase::addDatabase(loc.isServer() ? QStringLiteral("QPSQL") : QStringLiteral("QSQLITE"), name);
    if (loc.isServer()) {
        raw.setHostName(loc.host);
        raw.setPort(loc.port);
        raw.setUserName(loc.user);
        raw.setDatabaseName(loc.database);
    } else {
        raw.setDatabaseName(loc.path);
    }
    raw.open();
    return raw;
}
