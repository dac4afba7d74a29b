#include "ui/publish/PublishWiring.h"

#include "base/cGlobalData.h"
#include "protocol/KeySession.h"
#include "publish/KeyPresenceFeed.h"
#include "publish/MqttSettingsFile.h"
#include "publish/PublishStation.h"
#include "ui/frame/MainWindow.h"
#include "ui/history/HistoryService.h"
#include "ui/publish/PublishSettingsPanel.h"

#include <QGridLayout>

#include <memory>

PublishStation *installPublishing(MainWindow *window)
{
    MainWindowForm *ui = window->form();
    cGlobalData *data = window->globalData();

    auto *station = new PublishStation(window);
    station->setObjectName(QStringLiteral("publishStation"));
    auto *panel = new PublishSettingsPanel(ui->pageDB);
    auto *grid = static_cast<QGridLayout *>(ui->pageDB->layout());
    grid->addWidget(panel, grid->rowCount(), 0);
    QObject::connect(station, &PublishStation::publisherChanged, panel, &PublishSettingsPanel::attach);

    // One history for the window: the one the archiver writes, and on whatever database the
    // history page switches it to.
    QString historyProblem;
    if (auto *history = window->findChild<HistoryService *>(QStringLiteral("historyService"))) {
        station->useWorker(history->worker());
        auto url = std::make_shared<QString>(history->url());
        QObject::connect(history, &HistoryService::historyChanged, station, [station, history, url] {
            if (history->url() != *url) {
                *url = history->url();
                station->useWorker(history->worker());
            } else {
                station->poke();
            }
        });
        QObject::connect(history, &HistoryService::opened, panel, [panel](bool ok) {
            if (!ok)
                panel->showProblem(PublishSettingsPanel::tr("The history is not open: nothing can be published."));
        });
    } else {
        station->openHistory(data->historyDb, &historyProblem);
    }
    panel->attach(station->publisher());

    const QString path = MqttSettingsFile::defaultPath();
    MqttStoredSettings stored;
    QString error;
    const bool loaded = MqttSettingsFile::load(path, &stored, &error);
    panel->setStored(stored, data->mqttUrl);
    if (!station->apply(stored, data->mqttUrl, &error) || !loaded)
        panel->showProblem(error);
    if (!historyProblem.isEmpty())
        panel->showProblem(historyProblem);

    QObject::connect(panel, &PublishSettingsPanel::applyRequested, station,
                     [panel, station, path, data](const MqttStoredSettings &edited) {
                         QString error;
                         if (!MqttSettingsFile::save(path, edited, &error)) {
                             panel->showProblem(error);
                             return;
                         }
                         // What the page applies is what runs from now on, --mqtt or not.
                         data->mqttUrl.clear();
                         if (!station->apply(edited, QString(), &error))
                             panel->showProblem(error);
                     });

    followKeyLinks(station->presence(), window->session()->model(), data, window->usbLink(), window->wifi());
    return station;
}
