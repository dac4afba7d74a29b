#pragma once

#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QString>

// The rows of a ";"-separated file as Python's csv module reads it (read_csv.py beside this
// file): what a script or a spreadsheet's import sees, not what our own writer meant.
inline QJsonArray readCsvWithPython(const QString &path, bool *ok)
{
    QProcess python;
    python.start(QStringLiteral("python3"),
                 {qEnvironmentVariable("TD_SOURCE_DIR") + QStringLiteral("/tests/reports/read_csv.py"), path});
    *ok = python.waitForFinished(30000) && python.exitStatus() == QProcess::NormalExit && python.exitCode() == 0;
    return QJsonDocument::fromJson(python.readAllStandardOutput()).array();
}
