#include "publish/PublishDrain.h"

#include "publish/MqttPublisher.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

PublishDrainResult drainToBroker(PublishSource *source, const MqttSettings &settings, int timeoutMs,
                                 const std::function<void(qint64, qint64)> &progress)
{
    PublishDrainResult result;
    const qint64 total = source->waiting();
    MqttPublisher publisher(source);
    publisher.setAnnounceStation(false);
    QEventLoop loop;
    QTimer timeout;
    timeout.setSingleShot(true);
    QObject::connect(&timeout, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(&publisher, &MqttPublisher::drained, &loop, [&] {
        // Nothing waiting says little before the broker was reached: a run with nothing to
        // send still proves the address and the credentials.
        if (publisher.state() == MqttPublisher::State::Connected) {
            result.drained = true;
            loop.quit();
        }
    });
    QObject::connect(&publisher, &MqttPublisher::stateChanged, &loop,
                     [&](MqttPublisher::State state, const QString &reason) {
                         if (!reason.isEmpty())
                             result.reason = reason;
                         if (state == MqttPublisher::State::Connected)
                             publisher.poke();
                     });
    QObject::connect(&publisher, &MqttPublisher::waitingChanged, &loop, [&](qint64 waiting) {
        if (progress)
            progress(qMax<qint64>(0, total - waiting), total);
    });
    if (!publisher.start(settings)) {
        if (result.reason.isEmpty())
            result.reason = publisher.reason().isEmpty() ? QCoreApplication::translate("publish", "No broker address.")
                                                         : publisher.reason();
        result.remaining = total;
        return result;
    }
    // Rows a transaction elsewhere still holds back become readable without any event here.
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, &publisher, &MqttPublisher::poke);
    look.start(500);
    timeout.start(qMax(1, timeoutMs));
    if (!result.drained)
        loop.exec();
    look.stop();
    result.remaining = source->waiting();
    result.acknowledged = qMax<qint64>(0, qMax<qint64>(0, total) - qMax<qint64>(0, result.remaining));
    if (!result.drained && result.remaining < 0)
        result.reason = QCoreApplication::translate("publish", "the history could not be read");
    if (!result.drained && result.reason.isEmpty())
        result.reason = publisher.state() == MqttPublisher::State::Connected
            ? QCoreApplication::translate("publish", "the broker did not acknowledge every result in time")
            : QCoreApplication::translate("publish", "the broker could not be reached");
    publisher.stop();
    return result;
}
