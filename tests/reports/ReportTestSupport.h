#pragma once

#include "base/Job.h"
#include "base/Paths.h"
#include "records/RecordFile.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonArray>
#include <QJsonObject>
#include <QProcess>
#include <QStringList>
#include <QTest>
#include <QTranslator>

// A data root in a temporary folder with the build's report templates and database.
inline bool prepareDataRoot(const QString &root)
{
    const QString build = qEnvironmentVariable("TD_BUILD_DIR");
    Paths::setDataRoot(root);
    bool ok = QDir().mkpath(root + QStringLiteral("/settings")) && QDir().mkpath(root + QStringLiteral("/sql"))
              && QDir().mkpath(root + QStringLiteral("/download/dbsett"));
    for (const char *f : {"settings/template_khr.xlsx", "settings/qrcodec.lrxml", "sql/report.db3"})
        ok = ok && QFile::copy(build + QLatin1Char('/') + QLatin1String(f), root + QLatin1Char('/') + QLatin1String(f));
    return ok;
}

// The program's Russian installed for as long as it lives, with the data root's Russian
// report templates copied from the build beside the English ones.
struct RussianReports
{
    QTranslator translator;
    bool ok = false;
    explicit RussianReports(const QString &root)
    {
        const QString build = qEnvironmentVariable("TD_BUILD_DIR");
        ok = translator.load(build + QStringLiteral("/language_ru.qm"));
        for (const char *f : {"settings/template_khr_ru.xlsx", "settings/qrcodec_ru.lrxml"}) {
            const QString target = root + QLatin1Char('/') + QLatin1String(f);
            ok = ok && (QFile::exists(target) || QFile::copy(build + QLatin1Char('/') + QLatin1String(f), target));
        }
        if (ok)
            QCoreApplication::installTranslator(&translator);
    }
    ~RussianReports() { QCoreApplication::removeTranslator(&translator); }
};

inline MeasureEntry entry(float moment, float defect = 0, float angle = 0, int second = 0)
{
    MeasureEntry e;
    e.moment = moment;
    e.correctedDefect = defect;
    e.angle = angle;
    e.year = 26;
    e.month = 12;
    e.day = 7;
    e.hour = 10;
    e.minute = 1;
    e.second = quint8(second);
    return e;
}

inline RecordFile sampleRecord(int algorithm)
{
    RecordFile r;
    r.header.algorithm = quint8(algorithm);
    r.header.fioIndex = 1;
    r.header.wheelIndex = 2;
    r.header.uzelIndex = 3;
    r.header.setOperationNumber(QStringLiteral("0000000042"));
    r.header.rangeLow = 10;
    r.header.rangeHigh = 20;
    r.header.angleLow = 30;
    r.header.angleHigh = 60;
    r.header.countTotal = 8;
    return r;
}

// Runs a program and gives its standard output; fails the test on a non-zero exit.
inline QByteArray runTool(const QString &program, const QStringList &args, bool *ok)
{
    QProcess p;
    p.start(program, args);
    *ok = p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    if (!*ok)
        qWarning() << program << args << p.readAllStandardError();
    return p.readAllStandardOutput();
}

// Every cell of the workbook's sheet "report" as openpyxl reads it: ref -> [value, type, format].
inline QJsonObject readWorkbook(const QString &path)
{
    bool ok = false;
    const QByteArray json = runTool(QStringLiteral("/usr/bin/python3"),
                                    {qEnvironmentVariable("TD_SOURCE_DIR") + QStringLiteral("/tests/reports/dump_xlsx.py"), path},
                                    &ok);
    if (!ok)
        return {};
    return QJsonDocument::fromJson(json).object().value(QStringLiteral("report")).toObject();
}

// A job's signals as the window gets them: queued onto the test's thread.
struct JobWatch : QObject
{
    QList<QPair<qint64, qint64>> progress;
    QStringList status;
    bool ended = false;
    bool ok = false;
    QString error;

    explicit JobWatch(Job *job)
    {
        connect(job, &Job::progress, this, [this](qint64 d, qint64 t) { progress << qMakePair(d, t); });
        connect(job, &Job::status, this, [this](const QString &s) { status << s; });
        connect(job, &Job::finished, this, [this](bool success, const QString &why) {
            ended = true;
            ok = success;
            error = why;
        });
    }
};
