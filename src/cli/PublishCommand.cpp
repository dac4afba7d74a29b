// torquedesk-cli publish: sends what the history holds beyond this station's acknowledged
// position to the plant's broker and exits 0 once the broker has acknowledged all of it.
#include "cli/CliCommand.h"
#include "cli/CliSupport.h"

#include "history/HistorySettings.h"
#include "history/HistoryStore.h"
#include "publish/HistoryPublishSource.h"
#include "publish/MqttSettingsFile.h"
#include "publish/PublishDrain.h"
#include "station/ArchiverSources.h"
#include "station/Station.h"

#include <QCoreApplication>

namespace {

int runPublish(Station &station, const QStringList &args)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QCoreApplication::translate(
        "cli", "Publish the results the broker has not acknowledged yet, then exit."));
    cli::addCommonOptions(parser);
    const QCommandLineOption mqtt(QStringLiteral("mqtt"),
                                  QCoreApplication::translate("cli", "The broker: mqtt://host:port/prefix or mqtts://... "
                                                                     "(default: the address in the settings)."),
                                  QStringLiteral("URL"));
    const QCommandLineOption historyDb(QStringLiteral("history-db"),
                                       QCoreApplication::translate("cli", "The history: a SQLite file or postgresql://user@host:port/db "
                                                                          "(default: the history page's setting)."),
                                       QStringLiteral("URL"));
    const QCommandLineOption timeout(QStringLiteral("timeout"),
                                     QCoreApplication::translate("cli", "Give up after SECONDS (default 120)."),
                                     QStringLiteral("SECONDS"), QStringLiteral("120"));
    parser.addOptions({mqtt, historyDb, timeout});
    if (!cli::parseArguments(parser, QStringLiteral("publish"), args))
        return CliExit::Usage;
    bool numberOk = false;
    const double seconds = parser.value(timeout).toDouble(&numberOk);
    if (!numberOk || seconds <= 0 || seconds > 86400) {
        cli::fail(QCoreApplication::translate("cli", "--timeout takes a number of seconds"));
        return CliExit::Usage;
    }
    cli::applyDataDir(parser);

    MqttStoredSettings stored;
    QString error;
    if (!MqttSettingsFile::load(MqttSettingsFile::defaultPath(), &stored, &error))
        cli::fail(error); // the address may still come from --mqtt
    MqttSettings settings;
    if (!MqttSettingsFile::stationSettings(stored, parser.value(mqtt), &settings, &error)) {
        cli::fail(error);
        return CliExit::Usage;
    }
    if (!settings.isConfigured()) {
        cli::fail(QCoreApplication::translate("cli", "no broker: give --mqtt URL or set the address on the settings page"));
        return CliExit::Usage;
    }

    // As the window: the history page's database unless the command line names one.
    const QString historyUrl = parser.isSet(historyDb) ? parser.value(historyDb) : HistorySettings::load().database;
    if (!station.openHistoryHere(historyUrl, ArchiverSources(), &error)) {
        cli::fail(error);
        return CliExit::Failed;
    }
    // The station's position, shared with its window; a client identity of its own, so the
    // broker does not take the window's connection away for it.
    HistoryPublishSource source(station.storeHere(), HistoryPublishSource::cursorNameFor(settings.clientIdentity));
    settings.clientIdentity += QStringLiteral("-cli");

    cli::Progress progress(QCoreApplication::translate("cli", "publish"));
    const PublishDrainResult result = drainToBroker(&source, settings, int(seconds * 1000),
                                                    [&](qint64 done, qint64 total) { progress.update(done, total); });
    if (!result.drained && result.remaining < 0) {
        cli::fail(QCoreApplication::translate("cli", "%1: nothing published (%2)").arg(settings.displayUrl(), result.reason));
        return CliExit::Failed;
    }
    if (!result.drained) {
        cli::fail(QCoreApplication::translate("cli", "%1: %2 result(s) not acknowledged (%3)")
                      .arg(settings.displayUrl())
                      .arg(result.remaining)
                      .arg(result.reason));
        return CliExit::Failed;
    }
    progress.finish();
    cli::say(QCoreApplication::translate("cli", "%1 result(s) published to %2").arg(result.acknowledged).arg(settings.displayUrl()));
    return CliExit::Ok;
}

const CliCommandRegistrar registrar({QStringLiteral("publish"),
                                     QStringLiteral("[--mqtt URL] [--data-dir DIR] [--station NAME] [--history-db URL] [--timeout SECONDS]"),
                                     QT_TRANSLATE_NOOP("cli", "Send the results the plant's broker has not acknowledged, then exit."),
                                     runPublish});

} // namespace
