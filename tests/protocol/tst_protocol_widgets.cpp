// The two small widgets of the file exchange, clicked like a person would.

#include "ProtocolTestSupport.h"

#include "base/Paths.h"
#include "base/cGlobalData.h"
#include "ui/exchange/ExchangeProgressWidget.h"
#include "protocol/FileExchange.h"
#include "ui/exchange/FileExchangePanel.h"
#include "protocol/KeySender.h"

#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <memory>

class TestProtocolWidgets : public QObject
{
    Q_OBJECT

    QTemporaryDir *root = nullptr;
    std::unique_ptr<ProtocolStack> rig;

private slots:
    void init()
    {
        root = new QTemporaryDir;
        Paths::setDataRoot(root->path());
        rig = std::make_unique<ProtocolStack>(5, 5);
    }
    void cleanup()
    {
        rig.reset();
        Paths::setDataRoot(QString());
        delete root;
    }

    void panelButtonsMoveFiles()
    {
        FileExchangePanel panel(&rig->files);
        QStringList chosen;
        int dialogs = 0;
        panel.setFileChooser([&](QWidget *) {
            ++dialogs;
            return chosen;
        });
        auto *edit = panel.findChild<QLineEdit *>("leKeyFolder");
        auto *get = panel.findChild<QPushButton *>("btnGetAnyFile");
        auto *put = panel.findChild<QPushButton *>("btnPutAnyFile");
        QVERIFY(edit && get && put);
        QCOMPARE(edit->placeholderText(), QStringLiteral("Type folder name in key"));
        QCOMPARE(get->accessibleName(), QStringLiteral("Get ANY file from key"));
        QCOMPARE(put->accessibleName(), QStringLiteral("Put ANY file to key"));
        QVERIFY(!edit->accessibleName().isEmpty());

        QTest::keyClicks(edit, "logs");
        QTest::mouseClick(get, Qt::LeftButton);
        QCOMPARE(rig->usb.sent.size(), 1);
        QCOMPARE(rig->usb.sent[0].fileHeader().command, FileCmdHeader::FA_READ_DIR);
        QCOMPARE(rig->usb.sent[0].fileHeader().fileName(), QStringLiteral("/logs"));

        for (const char *n : {"a.txt", "b.bin"}) {
            QFile f(root->path() + "/" + n);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(n);
            chosen << f.fileName();
        }
        QTest::mouseClick(put, Qt::LeftButton);
        QCOMPARE(dialogs, 1);
        QCOMPARE(rig->usb.sent.size(), 3);
        QCOMPARE(rig->usb.sent[1].fileHeader().fileName(), QStringLiteral("/logs/a.txt"));
        QCOMPARE(rig->usb.sent[2].fileHeader().fileName(), QStringLiteral("/logs/b.bin"));
        QCOMPARE(rig->usb.sent[2].fileHeader().command, FileCmdHeader::FA_WRITE);
        QCOMPARE(rig->files.writeDirs(), QStringList{"logs"});

        // A cancelled dialog sends nothing; a hostile folder sends nothing either.
        chosen.clear();
        QTest::mouseClick(put, Qt::LeftButton);
        QCOMPARE(rig->usb.sent.size(), 3);
        edit->setText("../../etc");
        chosen << root->path() + "/a.txt";
        QSignalSpy status(&rig->files, SIGNAL(statusMessage(QString)));
        QTest::mouseClick(get, Qt::LeftButton);
        QTest::mouseClick(put, Qt::LeftButton);
        QCOMPARE(rig->usb.sent.size(), 3);
        QCOMPARE(status.count(), 2);
    }

    void progressWidgetFollowsTheExchange()
    {
        QWidget window;
        auto *bar = new ExchangeProgressWidget(&window);
        window.show();
        bar->attach(&rig->files);
        QVERIFY(bar->isHidden());

        rig->files.GetFromKey("dbsett", "r1");
        rig->files.GetFromKey("dbsett", "r2");
        QTRY_VERIFY(bar->isVisible());
        QTRY_COMPARE(bar->summaryText(), QStringLiteral("0 of 2 files, 0 KB"));
        QCOMPARE(bar->barMaximum(), 2);
        QCOMPARE(bar->barValue(), 0);

        rig->files.HandleFileCommand(reinterpret_cast<const uchar *>(
                                     fileReply("/dbsett/r1", 1, 0, 0, QByteArray(1500, 'x')).left(140 + 512).constData()),
                                 140 + 512, QString());
        // 1500 bytes do not fit one reply; the frame above is refused, then a good one.
        const QByteArray good = fileReply("/dbsett/r1", 1, 0, 0, QByteArray(300, 'x'));
        rig->files.HandleFileCommand(reinterpret_cast<const uchar *>(good.constData()), good.size(), QString());
        QTRY_COMPARE(bar->barValue(), 1);
        QCOMPARE(bar->summaryText(), QStringLiteral("1 of 2 files, 1 KB"));
        QCOMPARE(bar->currentFileText(), QStringLiteral("File: /dbsett/r1"));

        rig->files.clearTransfers();
        QTRY_VERIFY(bar->isHidden());
    }
};

QTEST_MAIN(TestProtocolWidgets)
#include "tst_protocol_widgets.moc"
