#include "ui/publish/PublishWiring.h"

#include "base/cGlobalData.h"
#include "publish/MqttSettingsFile.h"
#include "publish/PublishStation.h"
#include "ui/publish/PublishSettingsPanel.h"

PublishSettingsPanel *installPublishing(PublishStation *station, cGlobalData *options,
                                        QWidget *parent)
{
    auto *panel = new PublishSettingsPanel(parent);
    QObject::connect(station, &PublishStation::publisherChanged, panel, &PublishSettingsPanel::attach);
    panel->attach(station->publisher());

    const QString path = MqttSettingsFile::defaultPath();
    MqttStoredSettings stored;
    QString error;
    const bool loaded = MqttSettingsFile::load(path, &stored, &error);
    panel->setStored(stored, options->mqttUrl);
    if (!station->apply(stored, options->mqttUrl, &error) || !loaded)
        panel->showProblem(error);

    QObject::connect(panel, &PublishSettingsPanel::applyRequested, station,
                     [panel, station, path, options](const MqttStoredSettings &edited) {
                         QString error;
                         if (!MqttSettingsFile::save(path, edited, &error)) {
                             panel->showProblem(error);
                             return;
                         }
                         // What the page applies is what runs from now on, --mqtt or not.
                         options->mqttUrl.clear();
                         if (!station->apply(edited, QString(), &error))
                             panel->showProblem(error);
                     });
    return panel;
}
