#include "app/widgets/TextFit.h"
#include "app/widgets/cParameter.h"
#include "app/widgets/cSpindleMeasure.h"
#include "app/widgets/cSwitcher.h"

#include <QFontMetricsF>
#include <QFrame>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <cmath>
#include <limits>
#include <memory>

namespace {
// A shown page that owns the layouts put on it, as the program's pages do.
struct Page {
    QWidget widget;
    QVBoxLayout *layout = new QVBoxLayout(&widget);
    Page() { widget.resize(400, 300); }
    template <typename T> T *add(T *item)
    {
        layout->addLayout(item);
        widget.show();
        return item;
    }
};
} // namespace

class TestWidgets : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { qRegisterMetaType<QPushButton *>(); }
    void fitGivesUpWithoutRoomOrText_data();
    void fitGivesUpWithoutRoomOrText();
    void fitScalesTextIntoBox();
    void fitOnWidgetsOfNoSize();

    void numericParameterShowsAndRefuses();
    void zeroValueWearsNeutralStyle();
    void changeSignalsOnlyWhenFlagged();
    void colourNames_data();
    void colourNames();
    void textParameter();
    void precisionReshowsNumbersOnly();
    void enabledLook();
    void captionVisibilityAndClicks();
    void unplacedParameterNeitherPopsUpNorLeaks();

    void switcherClickFlipsState();
    void switcherCaptionsAndParameter();

    void spindleSelectValueColour();
};

void TestWidgets::fitGivesUpWithoutRoomOrText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QSize>("box");
    QTest::addColumn<int>("margin");
    QTest::newRow("empty text") << QString() << QSize(200, 50) << 10;
    QTest::newRow("blank text") << QStringLiteral("   ") << QSize(200, 50) << 10;
    QTest::newRow("zero box") << QStringLiteral("12.5") << QSize(0, 0) << 10;
    QTest::newRow("narrower than margin") << QStringLiteral("12.5") << QSize(10, 50) << 10;
    QTest::newRow("lower than margin") << QStringLiteral("12.5") << QSize(200, 10) << 10;
    QTest::newRow("invalid box") << QStringLiteral("12.5") << QSize(-1, -1) << 20;
}

void TestWidgets::fitGivesUpWithoutRoomOrText()
{
    QFETCH(QString, text);
    QFETCH(QSize, box);
    QFETCH(int, margin);
    QFont font;
    font.setPointSizeF(11.0);
    const QFont fitted = td::fittedFont(font, text, box, margin);
    QCOMPARE(fitted.pointSizeF(), 11.0);
}

void TestWidgets::fitScalesTextIntoBox()
{
    QFont font;
    font.setPointSizeF(10.0);
    const QSize box(300, 60);
    const QString text = QStringLiteral("1234.5");

    const QFont fitted = td::fittedFont(font, text, box, 10);
    QVERIFY(fitted.pointSizeF() > 10.0); // plenty of room: grows
    const QRectF bound = QFontMetricsF(fitted).boundingRect(
        QRectF(0, 0, box.width() - 1, box.height() - 1), Qt::TextWordWrap, text);
    // Fonts do not scale exactly linearly, so allow a few pixels.
    QVERIFY2(bound.height() <= box.height() - 10 + 4, qPrintable(QString::number(bound.height())));
    QVERIFY(bound.width() <= box.width() - 10 + 4);

    const QFont shrunk = td::fittedFont(font, QStringLiteral("A long warning for the user"),
                                        QSize(40, 14), 10);
    QVERIFY(shrunk.pointSizeF() >= td::minFittedPointSize);
    QVERIFY(shrunk.pointSizeF() < 10.0);

    const QFont capped = td::fittedFont(font, QStringLiteral("1"), QSize(4000, 4000), 10);
    QCOMPARE(capped.pointSizeF(), td::maxFittedPointSize);

    QFont pixels;
    pixels.setPixelSize(12);
    const QFont scaledPixels = td::fittedFont(pixels, text, box, 10);
    QVERIFY(scaledPixels.pixelSize() > 12);
}

void TestWidgets::fitOnWidgetsOfNoSize()
{
    QPushButton button(QStringLiteral("5"));
    button.setFixedSize(0, 0);
    const qreal before = button.font().pointSizeF();
    td::fitText(&button, 10);
    QCOMPARE(button.font().pointSizeF(), before);

    QLabel label;
    label.setFixedSize(300, 60);
    td::fitText(&label, 20); // no text
    QVERIFY(label.font().pointSizeF() > 0);

    td::fitText(static_cast<QLabel *>(nullptr), 20);
}

void TestWidgets::numericParameterShowsAndRefuses()
{
    Page page;
    cParameter &par = *page.add(new cParameter(QStringLiteral("Low Moment"), true, 12.5,
                                               QStringLiteral("red"), 2));
    QCOMPARE(par.text(), QStringLiteral("12.50"));
    QCOMPARE(par.value(), 12.5);
    QCOMPARE(par.minimum(), -99999.9);
    QCOMPARE(par.maximum(), 99999.9);
    QVERIFY(par.isNumeric());
    QCOMPARE(par.button()->styleSheet(), QStringLiteral("red"));
    QVERIFY(par.button()->font().pointSizeF() > 0);

    par.setMinimum(0);
    par.setMaximum(2000);
    par.setColor(QStringLiteral("green"));
    const QString style = par.button()->styleSheet();
    QVERIFY(!par.setValue(2000.1));
    QVERIFY(!par.setValue(-0.1));
    QVERIFY(!par.setValue(std::numeric_limits<double>::quiet_NaN()));
    QVERIFY(!par.setValue(std::numeric_limits<double>::infinity()));
    QCOMPARE(par.text(), QStringLiteral("12.50"));
    QCOMPARE(par.button()->styleSheet(), style);

    QVERIFY(par.setValue(2000));
    QCOMPARE(par.text(), QStringLiteral("2000.00"));
    QVERIFY(par.inRange(0.0));
    QVERIFY(par.inRange(QStringLiteral("1999.9")));
    QVERIFY(!par.inRange(QStringLiteral("abc")));
    QVERIFY(!par.inRange(QStringLiteral("")));
    QVERIFY(!par.inRange(QStringLiteral("2000.01")));

    // A first value outside the range leaves the button empty rather than showing it.
    cParameter port(QStringLiteral("PC Port:"), true, 123456.0, QString(), 0);
    QCOMPARE(port.text(), QString());
}

void TestWidgets::zeroValueWearsNeutralStyle()
{
    Page page;
    cParameter &par =
        *page.add(new cParameter(QStringLiteral("Angle"), true, 5.0, QStringLiteral("yellow"), 0));
    for (const char *colour : {"red", "green", "blue", "white", "something: odd"}) {
        par.setColor(QString::fromLatin1(colour));
        QVERIFY(par.setValue(0));
        QCOMPARE(par.button()->styleSheet(), cParameter::neutralStyle());
        QVERIFY(par.setValue(3));
        QCOMPARE(par.button()->styleSheet(), cParameter::styleForColor(QString::fromLatin1(colour)));
    }
    QVERIFY(par.setValue(-0.0)); // negative zero is zero too
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
    QVERIFY(par.isChanged());
    QVERIFY(par.setValue(8));
    QCOMPARE(numeric.count(), 1);
    QVERIFY(!par.isChanged());
    QVERIFY(par.setValue(9));
    QCOMPARE(numeric.count(), 1);

    par.setChanged(true);
    QVERIFY(par.setText(QStringLiteral("10")));
    QCOMPARE(text.count(), 1);
    QCOMPARE(numeric.count(), 1);
    QVERIFY(!par.isChanged());
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
    QCOMPARE(par.style(), style);
    QCOMPARE(par.button()->styleSheet(), style);

    // "null" re-applies what is stored without changing it.
    par.button()->setStyleSheet(QString());
    par.setColor(QStringLiteral("null"));
    QCOMPARE(par.style(), style);
    QCOMPARE(par.button()->styleSheet(), style);
}

void TestWidgets::textParameter()
{
    Page page;
    cParameter &par = *page.add(new cParameter(QStringLiteral("Angle Deviation"), true,
                                               QStringLiteral("0"), QStringLiteral("white")));
    QVERIFY(!par.isNumeric());
    QCOMPARE(par.minimum(), 0.0);
    QCOMPARE(par.maximum(), 9999.0);
    QCOMPARE(par.text(), QStringLiteral("0"));
    // Unlike a number, a text keeps its style even when it reads "0".
    QCOMPARE(par.button()->styleSheet(), QStringLiteral("white"));
    QCOMPARE(par.captionLabel()->font().pointSize(), 12);
    QVERIFY(par.setText(QStringLiteral("Ivanov")));
    QCOMPARE(par.text(), QStringLiteral("Ivanov"));
    QCOMPARE(par.value(), 0.0);
}

void TestWidgets::precisionReshowsNumbersOnly()
{
    cParameter num(QStringLiteral("Pitch Step"), true, 1.25, QString(), 2);
    num.setPrecision(1);
    QCOMPARE(num.text(), QStringLiteral("1.3"));
    num.setPrecision(3);
    QCOMPARE(num.text(), QStringLiteral("1.300"));
    QCOMPARE(num.precision(), 3);
    num.setPrecision(-2);
    QCOMPARE(num.precision(), 0);
    QCOMPARE(num.text(), QStringLiteral("1"));

    cParameter text(QStringLiteral("Name"), true, QStringLiteral("Ivanov"), QString());
    text.setPrecision(2);
    QCOMPARE(text.text(), QStringLiteral("Ivanov"));

    cParameter empty(QStringLiteral("Port"), true, 1e9, QString(), 0);
    empty.setPrecision(2);
    QCOMPARE(empty.text(), QString());
}

void TestWidgets::enabledLook()
{
    Page page;
    cParameter &par =
        *page.add(new cParameter(QStringLiteral("High Angle"), true, 10.0, QStringLiteral("red"), 0));
    par.setEnabled(false);
    QVERIFY(!par.button()->isEnabled());
    QCOMPARE(par.button()->styleSheet(), cParameter::neutralStyle());
    par.setEnabled(true);
    QVERIFY(par.button()->isEnabled());
    QCOMPARE(par.button()->styleSheet(), QStringLiteral("red"));

    // The checked look only acts on a change of state.
    par.button()->setStyleSheet(QStringLiteral("marker"));
    par.setCheckedLook(true);
    QCOMPARE(par.button()->styleSheet(), QStringLiteral("marker"));
    par.setCheckedLook(false);
    QCOMPARE(par.button()->styleSheet(), cParameter::neutralStyle());
    QVERIFY(!par.button()->isEnabled());
}

void TestWidgets::captionVisibilityAndClicks()
{
    Page page;
    cParameter &shown = *page.add(new cParameter(QStringLiteral("Low Moment"), true, 1.0, QString(), 1));
    cParameter &quiet =
        *page.add(new cParameter(QStringLiteral("Hidden caption"), false, 1.0, QString(), 1));
    cParameter &blank = *page.add(new cParameter(QString(), true, 1.0, QString(), 1));
    QVERIFY(QTest::qWaitForWindowExposed(&page.widget));
    QVERIFY(shown.captionLabel()->isVisible());
    QVERIFY(!quiet.captionLabel()->isVisible());
    QCOMPARE(quiet.caption(), QStringLiteral("Hidden caption"));
    QVERIFY(!blank.captionLabel()->isVisible());
    QCOMPARE(shown.button()->accessibleName(), QStringLiteral("Low Moment"));

    shown.hide();
    QVERIFY(!shown.button()->isVisible());
    QVERIFY(!shown.captionLabel()->isVisible());
    quiet.hide();
    quiet.show();
    QVERIFY(quiet.button()->isVisible());
    QVERIFY(!quiet.captionLabel()->isVisible()); // the owner asked for no caption
    shown.show();
    QVERIFY(shown.captionLabel()->isVisible());

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
    QVERIFY(!caption->isVisible());
    carrier.reset();
    QVERIFY(button.isNull());
    QVERIFY(caption.isNull());

    // Shown before it is placed: appears with its page; hidden before: stays hidden.
    auto *early = new cParameter(QStringLiteral("Early"), true, 2.0, QString(), 0);
    auto *late = new cParameter(QStringLiteral("Late"), true, 2.0, QString(), 0);
    early->hide();
    early->show();
    late->hide();
    QVERIFY(!early->button()->isVisible());
    Page page;
    page.add(early);
    page.add(late);
    QVERIFY(early->button()->isVisible());
    QVERIFY(early->captionLabel()->isVisible());
    QVERIFY(!late->button()->isVisible());
    QVERIFY(!late->captionLabel()->isVisible());

    // Placed in a page, the widgets belong to the page and outlive the layout.
    QWidget owner;
    auto *ownerLayout = new QVBoxLayout(&owner);
    auto *placed = new cParameter(QStringLiteral("Placed"), true, 1.0, QString(), 0);
    ownerLayout->addLayout(placed);
    QPointer<QPushButton> placedButton = placed->button();
    delete placed;
    QVERIFY(!placedButton.isNull());
}

void TestWidgets::switcherClickFlipsState()
{
    Page page;
    cSwitcher &sw = *page.add(new cSwitcher(QStringLiteral("On/Off"), QString(), true, false, false));
    QSignalSpy clicks(&sw, &cSwitcher::click_button);
    QVERIFY(!sw.checked());
    QVERIFY(sw.button()->isCheckable());
    QCOMPARE(sw.button()->size(), QSize(80, 80));
    QCOMPARE(sw.button()->accessibleName(), QStringLiteral("On/Off"));

    QTest::mouseClick(sw.button(), Qt::LeftButton);
    QVERIFY(sw.checked());
    QVERIFY(sw.button()->isChecked());
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(clicks.at(0).at(0).value<cSwitcher *>(), &sw);

    QTest::mouseClick(sw.button(), Qt::LeftButton);
    QVERIFY(!sw.checked());
    QVERIFY(!sw.button()->isChecked());
    QCOMPARE(clicks.count(), 2);

    sw.setChecked(true);
    QVERIFY(sw.checked());
    QVERIFY(sw.button()->isChecked());
    QCOMPARE(clicks.count(), 2); // setting by code is not a click

    sw.setEnabled(false);
    QTest::mouseClick(sw.button(), Qt::LeftButton);
    QVERIFY(sw.checked());
    QCOMPARE(clicks.count(), 2);
}

void TestWidgets::switcherCaptionsAndParameter()
{
    cSwitcher plain(QStringLiteral("Enable/disable"), QString(), true, true, false);
    QCOMPARE(plain.caption2(), QString());
    QVERIFY(plain.parameter() == nullptr);
    QVERIFY(plain.button()->isChecked());
    QCOMPARE(plain.button()->styleSheet(), cSwitcher::buttonStyle());

    Page page;
    cSwitcher &sw = *page.add(new cSwitcher(QStringLiteral("Extend"),
                                            QStringLiteral("Second point of calibration"), true,
                                            false, true));
    const auto captions = page.widget.findChildren<QLabel *>();
    QLabel *big = nullptr;
    QLabel *small = nullptr;
    for (QLabel *label : captions) {
        if (label->text() == QLatin1String("Extend"))
            big = label;
        if (label->text() == QLatin1String("Second point of calibration"))
            small = label;
    }
    QVERIFY(big && small);
    QCOMPARE(big->font().pointSize(), 24);
    QCOMPARE(small->font().pointSize(), 18);
    QVERIFY(small->wordWrap());

    cParameter *par = sw.parameter();
    QVERIFY(par);
    QCOMPARE(par->button()->styleSheet(), cSwitcher::parameterStyle());
    QSignalSpy relayed(&sw, &cSwitcher::click_param_button);
    QTest::mouseClick(par->button(), Qt::LeftButton);
    QCOMPARE(relayed.count(), 1);
    QCOMPARE(relayed.at(0).at(0).value<cParameter *>(), par);

    sw.setSize(60, 50);
    QCOMPARE(sw.button()->size(), QSize(60, 50));
    QCOMPARE(par->button()->size(), QSize(60, 50));

    sw.setEnabled(false);
    QVERIFY(!sw.button()->isEnabled());
    QVERIFY(!big->isEnabled());
    QVERIFY(!small->isEnabled());
    QVERIFY(!par->button()->isEnabled());
    sw.setEnabled(true);
    QVERIFY(par->button()->isEnabled());
    QCOMPARE(par->button()->styleSheet(), cSwitcher::parameterStyle());

    plain.setCaption2(QStringLiteral("added later"));
    QCOMPARE(plain.caption2(), QStringLiteral("added later"));
}

void TestWidgets::spindleSelectValueColour()
{
    Page page;
    cSpindleMeasure &panel =
        *page.add(new cSpindleMeasure(QStringLiteral("Spindle 1"), QStringLiteral("%1 Nm")));
    QSignalSpy status(&panel, &cSpindleMeasure::clapan_status);
    QVERIFY(!panel.isSelected());
    QVERIFY(panel.frame()->styleSheet().contains(QLatin1String("rgb(235, 235, 235)")));

    panel.select(true);
    QVERIFY(panel.isSelected());
    QVERIFY(panel.frame()->styleSheet().contains(cSpindleMeasure::frameLook(true)));
    QVERIFY(panel.frame()->styleSheet().contains(cSpindleMeasure::labelLook(true)));
    QCOMPARE(status.count(), 1);
    panel.select(false);
    QVERIFY(panel.frame()->styleSheet().contains(cSpindleMeasure::frameLook(false)));
    QCOMPARE(status.count(), 2);

    panel.setValue(12.345, 2);
    QCOMPARE(panel.valueText(), QStringLiteral("12.35 Nm"));
    panel.setValue(7, -3);
    QCOMPARE(panel.valueText(), QStringLiteral("7 Nm"));

    QCOMPARE(panel.style(), QStringLiteral("background-color: rgb(250, 250, 250); color: rgb(0, 0, 0)"));
    panel.setColor(QStringLiteral("red"));
    QCOMPARE(panel.valueLabel()->styleSheet(), cParameter::styleForColor(QStringLiteral("red")));
    panel.setColor(QStringLiteral("null"));
    QCOMPARE(panel.style(), cParameter::styleForColor(QStringLiteral("red")));
    panel.setColor(QStringLiteral("grey"));
    QCOMPARE(panel.style(), QStringLiteral("grey"));

    QVERIFY(panel.parameter());
    QVERIFY(panel.parameter()->isNumeric());
    QSignalSpy clicks(&panel, &cSpindleMeasure::click_button);
    QTest::mouseClick(panel.button(), Qt::LeftButton);
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(clicks.at(0).at(0).value<QPushButton *>(), panel.button());

    cSpindleMeasure bare(QStringLiteral("No pattern"), QStringLiteral("plain"));
    bare.setValue(3.5, 1);
    QCOMPARE(bare.valueText(), QStringLiteral("3.5"));
}

QTEST_MAIN(TestWidgets)
#include "tst_widgets.moc"
