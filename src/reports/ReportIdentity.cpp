#include "reports/ReportIdentity.h"

#include "base/AtomicFile.h"
#include "base/Log.h"
#include "base/Paths.h"
#include "protocol/KeyModel.h"
#include "records/MenuLevels.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>

QString ReportIdentity::unitsText() const
{
    return units == 1 ? QCoreApplication::translate("ReportIdentity", "kgsm")
                      : QCoreApplication::translate("ReportIdentity", "Nm");
}

QString ReportIdentity::path() { return Paths::settingsDir() + QStringLiteral("/report_identity.json"); }

ReportIdentity ReportIdentity::load()
{
    ReportIdentity id;
    QFile f(path());
    if (!f.open(QIODevice::ReadOnly))
        return id;
    const QJsonObject o = QJsonDocument::fromJson(f.read(64 * 1024)).object();
    id.keyName = o.value(QStringLiteral("keyName")).toString();
    id.operatorName = o.value(QStringLiteral("operatorName")).toString();
    const QJsonArray levels = o.value(QStringLiteral("levelCaptions")).toArray();
    for (int i = 0; i < 4 && i < levels.size(); ++i)
        id.levelCaptions[i] = levels.at(i).toString();
    const QJsonArray used = o.value(QStringLiteral("levelsUsed")).toArray();
    for (int i = 0; i < 4 && i < used.size(); ++i)
        id.levelsUsed[size_t(i)] = used.at(i).toBool(true);
    id.units = o.value(QStringLiteral("units")).toInt(0);
    id.dataTime = o.value(QStringLiteral("dataTime")).toInt(1);
    return id;
}

bool ReportIdentity::save(QString *error) const
{
    QJsonObject o;
    o.insert(QStringLiteral("keyName"), keyName);
    o.insert(QStringLiteral("operatorName"), operatorName);
    o.insert(QStringLiteral("levelCaptions"), QJsonArray::fromStringList(levelCaptions));
    QJsonArray used;
    for (bool u : levelsUsed)
        used.append(u);
    o.insert(QStringLiteral("levelsUsed"), used);
    o.insert(QStringLiteral("units"), units);
    o.insert(QStringLiteral("dataTime"), dataTime);
    return AtomicFile::write(path(), QJsonDocument(o).toJson(), error, AtomicFile::Durability::Synced);
}

namespace {

// KeyModel::reset() announces its emptied state through the same signals a read-out uses;
// a key that has said anything about itself is told apart from that reset state, so losing
// the key never wipes what the last read-out stored.
bool keyHasReported(const KeyModel &k)
{
    const DeviceSettings &d = k.deviceSettings();
    return !k.names().keyName.isEmpty() || !k.names().operatorName.isEmpty() || d.VersionSW != 0
           || !d.SerialNo.isEmpty();
}

} // namespace

void ReportIdentity::keepUpdated(KeyModel *key, MenuLevels *levels)
{
    QPointer<KeyModel> k(key);
    QPointer<MenuLevels> l(levels);
    auto store = [k, l] {
        if (k && !keyHasReported(*k))
            return;
        ReportIdentity id = load();
        if (k) {
            id.keyName = k->names().keyName;
            id.operatorName = k->names().operatorName;
            id.units = k->deviceSettings().Units;
            id.dataTime = k->deviceSettings().DataTime;
        }
        if (l) {
            for (int i = 0; i < MenuLevels::Count; ++i) {
                id.levelCaptions[i] = l->caption(i);
                id.levelsUsed[size_t(i)] = l->isActive(i);
            }
        }
        QString error;
        if (!id.save(&error))
            td::log(QStringLiteral("Report identity not stored: ") + error);
    };
    if (key) {
        QObject::connect(key, &KeyModel::namesChanged, key, store);
        QObject::connect(key, &KeyModel::deviceSettingsChanged, key, store);
    }
    if (levels)
        QObject::connect(levels, &MenuLevels::changed, levels, [store](int) { store(); });
}
