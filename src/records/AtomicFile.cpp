#include "records/AtomicFile.h"

#include "app/Log.h"

#include <QSaveFile>

bool AtomicFile::write(const QString &path, const QByteArray &data, QString *error)
{
    QSaveFile file(path);
    QString why;
    if (!file.open(QIODevice::WriteOnly)) {
        why = file.errorString();
    } else if (file.write(data) != data.size()) {
        why = file.errorString();
        file.cancelWriting();
    } else if (!file.commit()) {
        why = file.errorString();
    }
    if (why.isEmpty())
        return true;
    td::log(QStringLiteral("AtomicFile: cannot write %1: %2").arg(path, why));
    if (error)
        *error = tr("Cannot write file %1: %2").arg(path, why);
    return false;
}
