#include "reports/ReportDatabase.h"

#include <QFileInfo>
#include <QSqlDatabase>

bool ReportDatabase::open(const QString &path)
{
    if (!QFileInfo::exists(path))
        return false;
    QSqlDatabase db = QSqlDatabase::contains(QSqlDatabase::defaultConnection)
        ? QSqlDatabase::database(QSqlDatabase::defaultConnection, false)
        : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
    db.setDatabaseName(path);
    return db.open();
}

void ReportDatabase::close()
{
    if (!QSqlDatabase::contains(QSqlDatabase::defaultConnection))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(QSqlDatabase::defaultConnection, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(QSqlDatabase::defaultConnection);
}
