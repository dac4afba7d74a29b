#include "base/CommandLine.h"
#include "base/DataRoot.h"
#include "base/LocaleCodec.h"
#include "base/Job.h"
#include "base/LogOutput.h"
#include "ui/frame/MainWindow.h"
#include "base/Paths.h"
#include "base/Translations.h"
#include "base/cGlobalData.h"
#include "station/Station.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QCoreApplication::setApplicationName(QStringLiteral("TorqueDesk"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TORQUEDESK_VERSION));
    CommandLine::answerWithoutDisplay(argc, argv);
    QApplication app(argc, argv);
    td::installBufferedLogOutput();

    const CommandLineOptions options = CommandLine::parse(app);

    td::setupLocaleCodec();

    DataRoot::apply(options.dataDir);

    Translations::install(&app);

    cGlobalData globalData;
    CommandLine::apply(options, &globalData);

    MainWindow::useApplicationFont();

    // Outlives the window: the pages let go of its services before they go.
    Station station(&globalData);
    MainWindow window(nullptr, &station);
    window.show();
    const int code = app.exec();
    // A report or export still being written is told to stop and given the time to remove
    // its temporary file, rather than being cut off by the process's end.
    stopRunningJobs(10000);
    return code;
}
