#include "base/Job.h"
#include "ui/widgets/JobProgressWidget.h"
#include "ui/widgets/TextFit.h"
#include "ui/widgets/cParameter.h"
#include "ui/widgets/cSpindleMeasure.h"
#include "ui/widgets/cSwitcher.h"

#include <QFontMetricsF>
#include <QApplication>
#include <QColor>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <QVBoxLayout>

#include <limits>
#include <memory>

namespace {
// Work that goes on until it is asked to stop, then fails as a stopped job does; or, with a
// stop-at count, ends well after that many steps.
class EndlessJob : public Job
{
public:
    int stopAt = -1;
    void run() override
    {
        for (int i = 0; i != stopAt; ++i) {
            if (isCancelled()) {
                emit finished(false, QStringLiteral("stopped at %1").arg(i));
                return;
            }
            emit progress(i % 100, 100);
            QThread::msleep(2); // a step of work, so the job is still running when it is asked to stop
        }
        emit status(QStringLiteral("all done"));
        emit finished(true, QString());
    }
};

// A shown page that owns the layouts put on it, as the program's pages do.
struct Page {
    QWidget widget;
    QVBoxLayout *layout = new QVBoxLayout(&widget);
    template <typename T> T &add(T *item)
    {
        layout->addLayout(item);
        widget.show();
        return *item;
    }
};
} // namespace

class TestWidgets : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { qRegisterMetaType<QPushButton *>(); }
    void jobRowCancelsWithoutCallingItAFailure();
    void runningJobsAreStoppedAtTheEnd();
    void fitGivesUpWithoutRoomOrText_data();
    void fitGivesUpWithoutRoomOrText();
    void fitScalesTextIntoBox();

    void numericParameterShowsAndRefuses();
    void zeroValueWearsNeutralStyle();
    void changeSignalsOnlyWhenFlagged();
    void colourNames_data();
    void colourNames();
    void precisionAndEnabledLook();
    void captionVisibilityAndClicks();
    void unplacedParameterNeitherPopsUpNorLeaks();

    void switcherClickFlipsState();
    void switcherSecondCaptionAndParameter();
    void spindleSelectValueColour();
};

void TestWidgets::fitGivesUpWithoutRoomOrText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QSize>("box");
    QTest::newRow("empty text") << QString() << QSize(200, 50);
    QTest::newRow("blank text") << QStringLiteral("   ") << QSize(200, 50);
    QTest::newRow("zero box") << QStringLiteral("12.5") << QSize(0, 0);
    QTest::newRow("narrower than margin") << QStringLiteral("12.5") << QSize(10, 50);
    QTest::newRow("lower than margin") << QStringLiteral("12.5") << QSize(200, 10);
    QTest::newRow("invalid box") << QStringLiteral("12.5") << QSize(-1, -1);
}

void TestWidgets::fitGivesUpWithoutRoomOrText()
{
    QFETCH(QString, text);
    QFETCH(QSize, box);
    QFont font;
    font.setPointSizeF(11.0);
    QCOMPARE(td::fittedFont(font, text, box, 10).pointSizeF(), 11.0);

    QPushButton button(text);
    button.setFixedSize(box.expandedTo(QSize(0, 0)));
    button.setFont(font);
    td::fitText(&button, 10);
    QCOMPARE(button.font().pointSizeF(), 11.0);
}

void TestWidgets::fitScalesTextIntoBox()
{
    QFont font;
    font.setPointSizeF(10.0);
    const QSize box(300, 60);
    const QString text = QStringLiteral("1234.5");
    const QFont fitted = td::fittedFont(font, text, box, 10);
    QVERIFY(fitted.pointSizeF() > 10.0);
    const QRectF bound = QFontMetricsF(fitted).boundingRect(QRectF(0, 0, 299, 59), Qt::TextWordWrap, text);
    // Glyphs do not scale exactly linearly: allow a few pixels.
    QVERIFY(bound.height() <= box.height() - 10 + 4);
    QVERIFY(bound.width() <= box.width() - 10 + 4);

    const QFont shrunk = td::fittedFont(font, QStringLiteral("A long warning"), QSize(40, 14), 10);
    QVERIFY(shrunk.pointSizeF() >= td::minFittedPointSize && shrunk.pointSizeF() < 10.0);
    QCOMPARE(td::fittedFont(font, QStringLiteral("1"), QSize(4000, 4000), 10).pointSizeF(),
             td::maxFittedPointSize);

    QFont pixels;
    pixels.setPixelSize(12); // no point size: the pixels are scaled
    QVERIFY(td::fittedFont(pixels, text, box, 10).pixelSize() > 12);
}

void TestWidgets::numericParameterShowsAndRefuses()
{
    Page page;
    auto &par = page.add(new cParameter(QStringLiteral("Low Moment"), true, 12.5, QStringLiteral("red"), 2));
    QCOMPARE(par.text(), QStringLiteral("12.50"));
    QCOMPARE(par.value(), 12.5);
    QCOMPARE(par.maximum(), 99999.9);
    QCOMPARE(par.button()->styleSheet(), QStringLiteral("red"));

    par.setMinimum(0);
    par.setMaximum(2000);
    par.setColor(QStringLiteral("green"));
    const QString style = par.button()->styleSheet();
    for (double bad : {2000.1, -0.1, std::numeric_limits<double>::quiet_NaN(),
                       std::numeric_limits<double>::infinity()})
        QVERIFY(!par.setValue(bad));
    QCOMPARE(par.text(), QStringLiteral("12.50"));
    QCOMPARE(par.button()->styleSheet(), style);
    QVERIFY(par.setValue(2000));
    QCOMPARE(par.text(), QStringLiteral("2000.00"));
    QVERIFY(par.inRange(QStringLiteral("1999.9")));
    QVERIFY(!par.inRange(QStringLiteral("abc")));
    QVERIFY(!par.inRange(QString()));

    // A first value outside the range leaves the button empty.
    cParameter port(QStringLiteral("PC Port:"), true, 123456.0, QString(), 0);
    QCOMPARE(port.text(), QString());

    // A text parameter keeps its style even when it reads "0", and is never re-rendered.
    cParameter text(QStringLiteral("Name"), true, QStringLiteral("0"), QStringLiteral("white"));
    QCOMPARE(text.maximum(), 9999.0);
    QCOMPARE(text.button()->styleSheet(), QStringLiteral("white"));
    QVERIFY(text.setText(QStringLiteral("Ivanov")));
    text.setPrecision(2);
    QCOMPARE(text.text(), QStringLiteral("Ivanov"));
}

void TestWidgets::zeroValueWearsNeutralStyle()
{
    Page page;
    auto &par = page.add(new cParameter(QStringLiteral("Angle"), true, 5.0, QStringLiteral("yellow"), 0));
    for (const char *colour : {"red", "green", "blue", "white", "color: rgb(1, 2, 3)"}) {
        par.setColor(QString::fromLatin1(colour));
        QVERIFY(par.setValue(0));
        QCOMPARE(par.button()->styleSheet(), cParameter::neutralStyle());
        QVERIFY(par.setValue(3));
        QCOMPARE(par.button()->styleSheet(), cParameter::styleForColor(QString::fromLatin1(colour)));
    }
    QVERIFY(par.setValue(-0.0));
    QCOMPARE(par.button()->styleSheet(), cParameter::neutralStyle());
}

void TestWidgets::changeSignalsOnlyWhenFlagged()
{
    cParameter par(QStringLiteral("Angle"), true, 5.0, QString(), 0);
    QSignalSpy numeric(&par, &cParameter::changed_valueD);
    QSignalSpy text(&par, &cParameter::changed_valueS);
    QVERIFY(par.setValue(7));
    QCOMPARE(numeric.count(), 0);

    par.setChanged(true);
    QVERIFY(!par.setValue(1e9)); // refused: the flag waits for a real store
    QCOMPARE(numeric.count(), 0);
    QVERIFY(par.setValue(8));
    QVERIFY(par.setValue(9));
    QCOMPARE(numeric.count(), 1);
    QVERIFY(!par.isChanged());

    par.setChanged(true);
    QVERIFY(par.setText(QStringLiteral("10")));
    QCOMPARE(text.count(), 1);
    QCOMPARE(numeric.count(), 1);
}

void TestWidgets::colourNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("style");
    QTest::newRow("green") << "green" << "background-color: rgb(0, 255, 0); color: rgb(0, 0, 0)";
    QTest::newRow("red") << "red" << "background-color: rgb(255, 0, 0); color: rgb(0, 0, 0)";
    QTest::newRow("yellow") << "yellow" << "background-color: rgb(255, 255, 0); color: rgb(0, 0, 0)";
    QTest::newRow("white") << "white" << "background-color: rgb(255, 255, 255); color: rgb(0, 0, 0)";
    QTest::newRow("blue") << "blue" << "background-color: rgb(0, 0, 255); color: rgb(0, 0, 0)";
    QTest::newRow("grey") << "grey" << "background-color: rgb(200, 200, 200); color: rgb(0, 0, 0)";
    QTest::newRow("own sheet") << "color: rgb(1, 2, 3)" << "color: rgb(1, 2, 3)";
    QTest::newRow("case matters") << "Red" << "Red";
}

void TestWidgets::colourNames()
{
    QFETCH(QString, name);
    QFETCH(QString, style);
    cParameter par(QStringLiteral("x"), false, 1.0, QStringLiteral("start"), 1);
    par.setColor(name);
    QCOMPARE(par.button()->styleSheet(), style);
    // "null" re-applies what is stored without changing it.
    par.button()->setStyleSheet(QString());
    par.setColor(QStringLiteral("null"));
    QCOMPARE(par.button()->styleSheet(), style);
}

void TestWidgets::precisionAndEnabledLook()
{
    Page page;
    auto &par = page.add(new cParameter(QStringLiteral("Pitch Step"), true, 1.25, QStringLiteral("red"), 2));
    par.setPrecision(1);
    QCOMPARE(par.text(), QStringLiteral("1.3"));
    par.setPrecision(-2);
    QCOMPARE(par.text(), QStringLiteral("1"));

    par.setEnabled(false);
    QVERIFY(!par.button()->isEnabled());
    QCOMPARE(par.button()->styleSheet(), cParameter::neutralStyle());
    par.setEnabled(true);
    QCOMPARE(par.button()->styleSheet(), QStringLiteral("red"));
    // The checked look only acts on a change of state.
    par.button()->setStyleSheet(QStringLiteral("marker"));
    par.setCheckedLook(true);
    QCOMPARE(par.button()->styleSheet(), QStringLiteral("marker"));
    par.setCheckedLook(false);
    QCOMPARE(par.button()->styleSheet(), cParameter::neutralStyle());
}

void TestWidgets::captionVisibilityAndClicks()
{
    Page page;
    auto &shown = page.add(new cParameter(QStringLiteral("Low Moment"), true, 1.0, QString(), 1));
    auto &quiet = page.add(new cParameter(QStringLiteral("Quiet"), false, 1.0, QString(), 1));
    auto &blank = page.add(new cParameter(QString(), true, 1.0, QString(), 1));
    QVERIFY(shown.captionLabel()->isVisible());
    QVERIFY(!quiet.captionLabel()->isVisible());
    QVERIFY(!blank.captionLabel()->isVisible());
    QCOMPARE(shown.button()->accessibleName(), QStringLiteral("Low Moment"));

    shown.hide();
    QVERIFY(!shown.button()->isVisible() && !shown.captionLabel()->isVisible());
    shown.show();
    QVERIFY(shown.button()->isVisible() && shown.captionLabel()->isVisible());
    quiet.hide();
    quiet.show();
    QVERIFY(!quiet.captionLabel()->isVisible()); // the owner asked for no caption
    blank.setCaptionText(QStringLiteral("Now named"));
    QVERIFY(blank.captionLabel()->isVisible());
    QCOMPARE(blank.button()->accessibleName(), QStringLiteral("Now named"));

    QSignalSpy clicks(&shown, &cParameter::click_button);
    QTest::mouseClick(shown.button(), Qt::LeftButton);
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(clicks.at(0).at(0).value<cParameter *>(), &shown);
}

void TestWidgets::unplacedParameterNeitherPopsUpNorLeaks()
{
    // The way pages hand a message to a popup: built, read, dropped.
    auto carrier = std::make_unique<cParameter>(QStringLiteral("Warning!"), false, QString(),
                                                QStringLiteral("red"));
    QPointer<QPushButton> button = carrier->button();
    QPointer<QLabel> caption = carrier->captionLabel();
    carrier->show();
    QVERIFY(!button->isVisible()); // no stray top-level window
    carrier.reset();
    QVERIFY(button.isNull() && caption.isNull());

    // Shown before it is placed: appears with its page; hidden before: stays hidden.
    auto *early = new cParameter(QStringLiteral("Early"), true, 2.0, QString(), 0);
    auto *late = new cParameter(QStringLiteral("Late"), true, 2.0, QString(), 0);
    early->hide();
    early->show();
    late->hide();
    Page page;
    page.add(early);
    page.add(late);
    QVERIFY(early->button()->isVisible() && early->captionLabel()->isVisible());
    QVERIFY(!late->button()->isVisible() && !late->captionLabel()->isVisible());

    // Once placed, the widgets belong to the page.
    QPointer<QPushButton> placed = early->button();
    page.layout->removeItem(early);
    delete early;
    QVERIFY(!placed.isNull());
}

void TestWidgets::switcherClickFlipsState()
{
    Page page;
    auto &sw = page.add(new cSwitcher(QStringLiteral("On/Off"), QString(), true, false, false));
    QSignalSpy clicks(&sw, &cSwitcher::click_button);
    QCOMPARE(sw.button()->accessibleName(), QStringLiteral("On/Off"));
    QVERIFY(sw.parameter() == nullptr);
    QCOMPARE(sw.caption2(), QString());

    QTest::mouseClick(sw.button(), Qt::LeftButton);
    QVERIFY(sw.checked() && sw.button()->isChecked());
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(clicks.at(0).at(0).value<cSwitcher *>(), &sw);
    QTest::mouseClick(sw.button(), Qt::LeftButton);
    QVERIFY(!sw.checked() && !sw.button()->isChecked());

    // A screen reader's toggle switches it as a click does.
    sw.button()->toggle();
    QVERIFY(sw.checked());
    QCOMPARE(clicks.count(), 3);
    sw.button()->toggle();
    QVERIFY(!sw.checked());
    QCOMPARE(clicks.count(), 4);

    sw.setChecked(true);
    QVERIFY(sw.checked() && sw.button()->isChecked());
    QCOMPARE(clicks.count(), 4); // set by code: no click
    sw.setEnabled(false);
    QTest::mouseClick(sw.button(), Qt::LeftButton);
    QVERIFY(sw.checked());
    QCOMPARE(clicks.count(), 4);

    // Locked, on and off still look different (centre and edge of the square).
    auto *off = new cSwitcher(QStringLiteral("Off"), QString(), false, false, false);
    page.add(off);
    QApplication::processEvents();
    const QImage onImage = sw.button()->grab().toImage();
    const QImage offImage = off->button()->grab().toImage();
    QCOMPARE(onImage.size(), offImage.size());
    const QPoint centre(onImage.width() / 2, onImage.height() / 2);
    QVERIFY2(onImage.pixel(centre) != offImage.pixel(centre),
             qPrintable(QColor(onImage.pixel(centre)).name() + QLatin1Char(' ') + QColor(offImage.pixel(centre)).name()));
}

void TestWidgets::switcherSecondCaptionAndParameter()
{
    Page page;
    auto &sw = page.add(new cSwitcher(QStringLiteral("Extend"), QStringLiteral("Second point"),
                                      true, false, true));
    QLabel *big = nullptr;
    QLabel *small = nullptr;
    for (QLabel *label : page.widget.findChildren<QLabel *>()) {
        if (label->text() == QLatin1String("Extend"))
            big = label;
        else if (label->text() == QLatin1String("Second point"))
            small = label;
    }
    QVERIFY(big && small);
    QCOMPARE(big->font().pointSize(), 24);
    QCOMPARE(small->font().pointSize(), 18);

    cParameter *par = sw.parameter();
    QVERIFY(par);
    QCOMPARE(par->button()->styleSheet(), cSwitcher::parameterStyle());
    QSignalSpy relayed(&sw, &cSwitcher::click_param_button);
    QTest::mouseClick(par->button(), Qt::LeftButton);
    QCOMPARE(relayed.count(), 1);
    QCOMPARE(relayed.at(0).at(0).value<cParameter *>(), par);

    sw.setSize(60, 50);
    QCOMPARE(par->button()->size(), QSize(60, 50));
    sw.setEnabled(false);
    QVERIFY(!big->isEnabled() && !small->isEnabled() && !par->button()->isEnabled());
    sw.setEnabled(true);
    QCOMPARE(par->button()->styleSheet(), cSwitcher::parameterStyle());
}

void TestWidgets::spindleSelectValueColour()
{
    Page page;
    auto &panel = page.add(new cSpindleMeasure(QStringLiteral("Spindle 1"), QStringLiteral("%1 Nm")));
    QSignalSpy status(&panel, &cSpindleMeasure::clapan_status);
    panel.select(true);
    QVERIFY(panel.isSelected());
    QVERIFY(panel.frame()->styleSheet().contains(cSpindleMeasure::frameLook(true)));
    QVERIFY(panel.frame()->styleSheet().contains(cSpindleMeasure::labelLook(true)));
    panel.select(false);
    QVERIFY(panel.frame()->styleSheet().contains(cSpindleMeasure::frameLook(false)));
    QCOMPARE(status.count(), 2);

    panel.setValue(12.345, 2);
    QCOMPARE(panel.valueText(), QStringLiteral("12.35 Nm"));
    panel.setColor(QStringLiteral("red"));
    QCOMPARE(panel.valueLabel()->styleSheet(), cParameter::styleForColor(QStringLiteral("red")));
    panel.setColor(QStringLiteral("grey")); // not a colour name here
    QCOMPARE(panel.style(), QStringLiteral("grey"));

    QSignalSpy clicks(&panel, &cSpindleMeasure::click_button);
    QTest::mouseClick(panel.button(), Qt::LeftButton);
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(clicks.at(0).at(0).value<QPushButton *>(), panel.button());

    cSpindleMeasure bare(QStringLiteral("No pattern"), QStringLiteral("plain"));
    bare.setValue(3.5, 1);
    QCOMPARE(bare.valueText(), QStringLiteral("3.5"));
}

// The person's Cancel reaches the job through the row, and the row neither paints the outcome
// red nor puts it on the message line: a stop asked for is not a failure. A job that ends by
// itself still says its outcome, and its row has no Cancel left to press.
void TestWidgets::jobRowCancelsWithoutCallingItAFailure()
{
    JobProgressWidget rows;
    rows.show();
    QSignalSpy said(&rows, &JobProgressWidget::messageRequested);
    QSignalSpy ended(&rows, &JobProgressWidget::jobEnded);

    auto *endless = new EndlessJob;
    rows.follow(endless, QStringLiteral("Export"));
    startJob(endless);
    QPushButton *cancel = nullptr;
    for (QPushButton *b : rows.findChildren<QPushButton *>())
        if (b->accessibleName() == QStringLiteral("Cancel Export"))
            cancel = b;
    QVERIFY(cancel);
    QTRY_VERIFY(cancel->isVisible());
    QTest::mouseClick(cancel, Qt::LeftButton);
    QVERIFY(ended.wait(5000));
    QCOMPARE(ended.first().at(0).toBool(), false);
    QCOMPARE(rows.rowText(0), QStringLiteral("Export: cancelled"));
    QVERIFY(said.isEmpty());
    QVERIFY(!cancel->isVisible());

    auto *shortJob = new EndlessJob;
    shortJob->stopAt = 3;
    rows.follow(shortJob, QStringLiteral("Report"));
    startJob(shortJob);
    QVERIFY(ended.wait(5000));
    QCOMPARE(ended.last().at(0).toBool(), true);
    QCOMPARE(rows.rowText(0), QStringLiteral("all done"));
    QCOMPARE(said.count(), 1);
    QCOMPARE(said.first().at(1).toString(), QStringLiteral("green"));
}

// Quitting while jobs run: each is told to stop and the program waits for it, so none is cut
// off half-way by the process's end; a job that is already gone is not waited for.
void TestWidgets::runningJobsAreStoppedAtTheEnd()
{
    QVector<QPointer<QThread>> threads;
    QSignalSpy *spies[2];
    EndlessJob *jobs[2];
    for (int i = 0; i < 2; ++i) {
        jobs[i] = new EndlessJob;
        spies[i] = new QSignalSpy(jobs[i], &Job::finished);
        startJob(jobs[i]);
        threads.append(jobs[i]->thread());
    }
    QTRY_VERIFY(threads[0]->isRunning() && threads[1]->isRunning());
    QCOMPARE(stopRunningJobs(5000), 0);
    for (const QPointer<QThread> &t : threads)
        QVERIFY(!t || t->isFinished());
    for (QSignalSpy *spy : spies) {
        QCOMPARE(spy->count(), 1);
        QCOMPARE(spy->first().at(0).toBool(), false);
        delete spy;
    }
    QCOMPARE(stopRunningJobs(5000), 0);
}

QTEST_MAIN(TestWidgets)
#include "tst_widgets.moc"
