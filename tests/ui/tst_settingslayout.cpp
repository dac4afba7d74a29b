// The settings pages at the size the window takes on a 1280x800 or a 1024x768 screen
// (1024x720), in English and in Russian: no control covers another, every caption, button and
// date is shown whole and nothing lies outside the page (or outside what its scroll area can
// bring into view). On the Viewer and the main form's Report tab besides no choice, column
// title or field hint is cut unless it is elided with its whole text in the tool tip.
#include "base/Paths.h"
#include "base/cGlobalData.h"
#include "measures/MeasureMemory.h"
#include "measures/MeasureMemoryModel.h"
#include "protocol/KeyConnection.h"
#include "ui/frame/MainWindow.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStackedWidget>
#include <QStyleOptionComboBox>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest>

namespace {

enum class Page { Viewer = 0, Database = 2, Calibrate = 3, Parameters = 4 };

bool isControl(const QWidget *w)
{
    return qobject_cast<const QLabel *>(w) || qobject_cast<const QAbstractButton *>(w)
        || qobject_cast<const QLineEdit *>(w) || qobject_cast<const QComboBox *>(w)
        || qobject_cast<const QAbstractSpinBox *>(w);
}

QString nameOf(const QWidget *w)
{
    QString text;
    if (auto *l = qobject_cast<const QLabel *>(w))
        text = l->text();
    else if (auto *b = qobject_cast<const QAbstractButton *>(w))
        text = b->text();
    const QString name = w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : w->objectName();
    return text.isEmpty() ? name : name + QStringLiteral(" \"") + text + QLatin1Char('"');
}

QString rectText(const QRect &r)
{
    return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

struct Control
{
    const QWidget *widget;
    const QWidget *scroller; // the scroll area it lies in, if any
    QRect rect;              // in page coordinates
    QRect reachable;         // what can be brought into view: a scroll area shows its content in turn
    QRect shown;             // what is in view now
};

// Every visible control of page that is not a part of another control (a combo's line edit,
// a table's corner button), with where it is and what of it can be seen.
QList<Control> controlsOf(QWidget *page)
{
    QList<Control> out;
    auto rectIn = [page](const QWidget *x) { return QRect(x->mapTo(page, QPoint(0, 0)), x->size()); };
    for (QWidget *w : page->findChildren<QWidget *>()) {
        if (!isControl(w) || !w->isVisible() || w->width() <= 0 || w->height() <= 0)
            continue;
        auto *label = qobject_cast<QLabel *>(w);
        if (label && label->text().isEmpty() && label->pixmap(Qt::ReturnByValue).isNull() && !label->movie())
            continue; // nothing to see, nothing to cover
        bool part = false;
        for (QWidget *p = w->parentWidget(); p && p != page; p = p->parentWidget())
            part = part || isControl(p) || qobject_cast<QAbstractItemView *>(p);
        if (part)
            continue;
        Control c{w, nullptr, rectIn(w), rectIn(w), rectIn(w)};
        for (QWidget *p = w->parentWidget(); p; p = p == page ? nullptr : p->parentWidget()) {
            const QRect r = rectIn(p);
            c.shown &= r;
            auto *area = qobject_cast<QScrollArea *>(p->parentWidget());
            if (area && p == area->viewport() && !c.scroller) {
                c.scroller = area;
                // Down the content scrolls; across it must fit when it cannot scroll.
                if (area->horizontalScrollBarPolicy() == Qt::ScrollBarAlwaysOff) {
                    c.reachable.setLeft(qMax(c.reachable.left(), r.left()));
                    c.reachable.setRight(qMin(c.reachable.right(), r.right()));
                }
            } else if (area && p == area->widget()) {
                continue;
            } else if (c.scroller) {
                c.reachable.setLeft(qMax(c.reachable.left(), r.left()));
                c.reachable.setRight(qMin(c.reachable.right(), r.right()));
            } else {
                c.reachable &= r;
            }
        }
        out << c;
    }
    return out;
}

// What a user would see as wrong with the page's layout, one line each.
QStringList layoutFaults(QWidget *page)
{
    QStringList faults;
    const QList<Control> controls = controlsOf(page);
    for (const Control &c : controls) {
        if (c.reachable != c.rect)
            faults << QStringLiteral("%1 at %2 is cut to %3").arg(nameOf(c.widget), rectText(c.rect), rectText(c.reachable));
        const QWidget *w = c.widget;
        if (auto *l = qobject_cast<const QLabel *>(w)) {
            if (!l->pixmap(Qt::ReturnByValue).isNull() || l->movie())
                continue;
            const bool whole = l->wordWrap() ? l->height() >= l->heightForWidth(l->width())
                                             : l->width() >= l->sizeHint().width() && l->height() >= l->sizeHint().height();
            if (!whole)
                faults << QStringLiteral("%1 is %2 and does not show its text whole").arg(nameOf(w), rectText(c.rect));
        } else if (auto *b = qobject_cast<const QPushButton *>(w)) {
            if (!b->text().isEmpty() && b->width() < b->sizeHint().width())
                faults << QStringLiteral("%1 is %2 wide, its text needs %3").arg(nameOf(w)).arg(b->width()).arg(b->sizeHint().width());
        } else if (qobject_cast<const QAbstractSpinBox *>(w) || qobject_cast<const QComboBox *>(w)) {
            // A date or a choice cut at the arrow reads as another value.
            const QSize need = qobject_cast<const QComboBox *>(w) ? w->minimumSizeHint() : w->sizeHint();
            if (w->width() < need.width())
                faults << QStringLiteral("%1 is %2 wide, its value needs %3").arg(nameOf(w)).arg(w->width()).arg(need.width());
        }
    }
    for (int i = 0; i < controls.size(); ++i) {
        for (int j = i + 1; j < controls.size(); ++j) {
            // Within one scroll area what is scrolled away still must not overlap; across it
            // only what is in view can cover something.
            const bool together = controls[i].scroller == controls[j].scroller;
            const QRect both = together ? controls[i].reachable & controls[j].reachable
                                        : controls[i].shown & controls[j].shown;
            if (!both.isEmpty())
                faults << QStringLiteral("%1 at %2 overlaps %3 at %4")
                              .arg(nameOf(controls[i].widget), rectText(controls[i].rect), nameOf(controls[j].widget),
                                   rectText(controls[j].rect));
        }
    }
    return faults;
}

// Texts a control shows cut with no way to read them whole: a combo's choice, a table's column
// title, a field's hint. Elided with the whole text in the tool tip is fine.
QStringList textFaults(QWidget *page)
{
    QStringList faults;
    for (QComboBox *combo : page->findChildren<QComboBox *>()) {
        if (!combo->isVisible() || combo->currentText().isEmpty())
            continue;
        QStyleOptionComboBox opt;
        opt.initFrom(combo);
        opt.editable = combo->isEditable();
        const int room = combo->style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, combo).width() - 2;
        if (combo->fontMetrics().horizontalAdvance(combo->currentText()) > room && combo->toolTip() != combo->currentText())
            faults << QStringLiteral("%1 shows \"%2\" cut in %3 px, not in its tool tip either")
                          .arg(nameOf(combo), combo->currentText()).arg(room);
    }
    for (QAbstractItemView *view : page->findChildren<QAbstractItemView *>()) {
        auto *table = qobject_cast<QTableView *>(view);
        if (!table || !table->isVisible() || !table->model())
            continue;
        QHeaderView *header = table->horizontalHeader();
        // A header that elides its titles leaves them less room than one that does not: its
        // label rectangle and then the title inside it each lose a margin on both sides.
        const int margin = (header->textElideMode() == Qt::ElideNone ? 2 : 4)
                           * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
        for (int c = 0; c < header->count(); ++c) {
            const QString title = table->model()->headerData(c, Qt::Horizontal).toString();
            if (header->isSectionHidden(c) || title.isEmpty())
                continue;
            // Measured in the font the titles are painted in: the header's viewport's.
            int need = 0;
            for (const QString &line : title.split(QLatin1Char('\n')))
                need = qMax(need, header->viewport()->fontMetrics().horizontalAdvance(line) + margin);
            // A table that scrolls across has the room for every title; only a column held
            // narrow on purpose (150 px and more) may elide its title, with the tool tip.
            const bool heldNarrow = header->sectionSize(c) >= 150
                                    && table->model()->headerData(c, Qt::Horizontal, Qt::ToolTipRole).toString() == title;
            if (header->sectionSize(c) < need && !heldNarrow)
                faults << QStringLiteral("%1: column \"%2\" is %3 px, its title needs %4")
                              .arg(nameOf(table), title).arg(header->sectionSize(c)).arg(need);
        }
    }
    for (QLineEdit *edit : page->findChildren<QLineEdit *>()) {
        if (!edit->isVisible() || !edit->text().isEmpty() || edit->placeholderText().isEmpty()
            || qobject_cast<QComboBox *>(edit->parentWidget()))
            continue;
        const int need = edit->fontMetrics().horizontalAdvance(edit->placeholderText()) + 8;
        if (edit->width() < need)
            faults << QStringLiteral("%1 is %2 px, its hint \"%3\" needs %4")
                          .arg(nameOf(edit)).arg(edit->width()).arg(edit->placeholderText()).arg(need);
    }
    return faults;
}

} // namespace

class TstSettingsLayout : public QObject
{
    Q_OBJECT

    QTemporaryDir m_root;
    cGlobalData m_data;
    MainWindow *m_window = nullptr;
    QTranslator m_russian;

    template <typename T = QWidget> T *find(const char *name) { return m_window->findChild<T *>(QLatin1String(name)); }

    void click(QWidget *w) { QTest::mouseClick(w, Qt::LeftButton); }

    void useLanguage(bool russian)
    {
        if (russian)
            QCoreApplication::installTranslator(&m_russian);
        else
            QCoreApplication::removeTranslator(&m_russian);
        QCoreApplication::processEvents();
    }

    // Opens a settings page as a user with code would, and lets its layouts settle.
    void open(Page page, const QString &code, QWidget **shown)
    {
        auto *stack = find<QStackedWidget>("stMainPages");
        if (stack->currentIndex() == int(MainPage::Settings))
            click(find("pbSettings"));
        // Without a key the window keeps going back to its search page.
        m_window->slot_TmrOpenMainForm();
        QCOMPARE(stack->currentIndex(), int(MainPage::MainForm));
        find<QLineEdit>("leKeyMessage")->setText(code);
        click(find("pbSettings"));
        QCOMPARE(stack->currentIndex(), int(MainPage::Settings));
        auto *settings = find<QStackedWidget>("swSettings");
        click(m_window->form()->leftMenuButtons.at(int(page)));
        QCOMPARE(settings->currentIndex(), int(page));
        // Layouts settle through posted events; waiting would also let the key search take
        // the window back to its search page.
        for (int i = 0; i < 3; ++i)
            QCoreApplication::sendPostedEvents();
        *shown = settings->currentWidget();
        QVERIFY((*shown)->isVisible());
    }

    static void addLanguageRows()
    {
        QTest::addColumn<bool>("russian");
        QTest::newRow("en") << false;
        QTest::newRow("ru") << true;
    }

    void expectNoFaults(QWidget *page, const char *where)
    {
        // A page found empty would pass every check below.
        QVERIFY2(controlsOf(page).size() >= 20, where);
        const QStringList faults = layoutFaults(page);
        QVERIFY2(faults.isEmpty(), qPrintable(QString::fromLatin1(where) + QStringLiteral(":\n  ")
                                              + faults.join(QStringLiteral("\n  "))));
    }

private slots:
    void initTestCase()
    {
        // The window's own font, as main() sets it: the captions' widths depend on it.
        MainWindow::useApplicationFont();
        QVERIFY(m_russian.load(QStringLiteral("language_ru"), qEnvironmentVariable("TD_BUILD_DIR")));
        Paths::setDataRoot(m_root.path());
        m_window = new MainWindow(nullptr, &m_data);
        m_window->show();
        m_window->resize(1024, 720);
        QTRY_VERIFY_WITH_TIMEOUT(find("frLogoFooter")->isVisible(), 3000);
        m_window->slot_TmrOpenMainForm();
        QCOMPARE(m_window->size(), QSize(1024, 720));
    }

    void cleanupTestCase()
    {
        delete m_window;
        QCoreApplication::removeTranslator(&m_russian);
    }

    void pagesAreLegible_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("code");
        QTest::addColumn<bool>("russian");
        for (const bool russian : {false, true}) {
            const char *lang = russian ? "ru" : "en";
            QTest::addRow("parameters master %s", lang) << int(Page::Parameters) << QStringLiteral("5729") << russian;
            QTest::addRow("parameters service %s", lang) << int(Page::Parameters) << QStringLiteral("00493700") << russian;
            QTest::addRow("database %s", lang) << int(Page::Database) << QStringLiteral("5729") << russian;
            QTest::addRow("calibrate %s", lang) << int(Page::Calibrate) << QStringLiteral("493") << russian;
        }
    }

    void pagesAreLegible()
    {
        QFETCH(int, page);
        QFETCH(QString, code);
        QFETCH(bool, russian);
        useLanguage(russian);
        QWidget *shown = nullptr;
        open(Page(page), code, &shown);
        if (QTest::currentTestFailed())
            return;
        expectNoFaults(shown, QTest::currentDataTag());
    }

    void parametersFitWithoutScrollingForTheMaster()
    {
        for (const bool russian : {false, true}) {
            useLanguage(russian);
            QWidget *page = nullptr;
            open(Page::Parameters, QStringLiteral("5729"), &page);
            if (QTest::currentTestFailed())
                return;
            auto *area = page->findChild<QScrollArea *>(QStringLiteral("saParameters"));
            QVERIFY(area);
            // The master's everyday page is whole at once; only the service options scroll.
            QVERIFY2(!area->verticalScrollBar()->isVisible(),
                     qPrintable(QStringLiteral("content %1 high in %2").arg(area->widget()->height()).arg(area->viewport()->height())));
        }
    }

    // The Viewer with template texts as long as a plant writes them.
    void viewerIsLegible_data() { addLanguageRows(); }

    void viewerIsLegible()
    {
        QFETCH(bool, russian);
        useLanguage(russian);
        QWidget *page = nullptr;
        open(Page::Viewer, QStringLiteral("5729"), &page);
        if (QTest::currentTestFailed())
            return;
        const QStringList longTexts{QStringLiteral("Lebedev M.Yu. Shift 3, team 2 (assembly line B)"),
                                    QStringLiteral("MAZ-6501 rear axle, left wheel hub, 10 studs M22x1.5"),
                                    QStringLiteral("Flywheel bolt M12x1.25, 8 of them, second pass")};
        const char *combos[] = {"cbFio", "cbWheel", "cbUzel"};
        for (int i = 0; i < 3; ++i) {
            auto *combo = find<QComboBox>(combos[i]);
            QVERIFY(combo);
            combo->addItem(longTexts.at(i));
            combo->setCurrentIndex(combo->count() - 1);
        }
        for (int i = 0; i < 3; ++i)
            QCoreApplication::sendPostedEvents();
        page->repaint();
        QStringList faults = layoutFaults(page) + textFaults(page);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("\n  "))));
        for (const char *name : combos) {
            find<QComboBox>(name)->removeItem(find<QComboBox>(name)->count() - 1);
        }
    }

    // The main form's Report tab: the chosen records, the memory table with all
    // its columns, the barcode row and the report buttons.
    void reportTabIsLegible_data() { addLanguageRows(); }

    void reportTabIsLegible()
    {
        QFETCH(bool, russian);
        useLanguage(russian);
        auto *stack = find<QStackedWidget>("stMainPages");
        if (stack->currentIndex() == int(MainPage::Settings))
            click(find("pbSettings"));
        // No key is plugged in: a key search that ends while the tab is being laid out would
        // put the no-key page in front of it. The search says nothing while this runs.
        const QSignalBlocker quiet(m_window->connection());
        m_window->slot_TmrOpenMainForm();
        QCOMPARE(stack->currentIndex(), int(MainPage::MainForm));
        // A record's measures arrive while the tab is not in view, as a read-out brings them:
        // the columns are sized with rows in them.
        auto *memory = m_window->findChild<MeasureMemory *>(QStringLiteral("measureMemory"));
        QVERIFY(memory);
        MeasureMemoryModel::Block block;
        block.name = QStringLiteral("0002H00003065732");
        block.header.rangeLow = 220;
        block.header.rangeHigh = 260;
        block.header.countTotal = 18;
        QVector<MeasureEntry> entries(5);
        for (int i = 0; i < entries.size(); ++i)
            entries[i].moment = 230.5f + i;
        memory->model()->appendMeasures(block, entries);
        QCoreApplication::processEvents();
        m_window->slot_TmrOpenMainForm();
        QCOMPARE(stack->currentIndex(), int(MainPage::MainForm));
        QTabWidget *tabs = m_window->form()->tabLevels;
        tabs->setTabEnabled(4, true);
        tabs->setCurrentIndex(4);
        auto *chosen = find<QTableWidget>("twSelectedRecords");
        QVERIFY(chosen);
        chosen->setRowCount(6);
        for (int row = 0; row < 6; ++row)
            for (int col = 0; col < chosen->columnCount(); ++col)
                chosen->setItem(row, col, new QTableWidgetItem(QStringLiteral("M%1").arg(17860 + row)));
        for (int i = 0; i < 3; ++i)
            QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        QWidget *page = stack->currentWidget();
        const QStringList faults = layoutFaults(page) + textFaults(page);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("\n  "))));
        QVERIFY(find<QTableView>("tvMemory")->isVisible());
        const int rows = chosen->viewport()->height() / chosen->verticalHeader()->defaultSectionSize();
        QVERIFY2(rows >= 4, qPrintable(QStringLiteral("the chosen records show %1 rows").arg(rows)));
        chosen->setRowCount(0);
        memory->model()->clear();
    }

    void historyTableHasTheRoom()
    {
        for (const bool russian : {false, true}) {
            useLanguage(russian);
            QWidget *page = nullptr;
            open(Page::Database, QStringLiteral("5729"), &page);
            if (QTest::currentTestFailed())
                return;
            auto *table = find<QTableView>("tvHistory");
            QVERIFY(table->isVisible());
            const int rows = table->viewport()->height() / table->verticalHeader()->defaultSectionSize();
            QVERIFY2(rows >= 7, qPrintable(QStringLiteral("%1 rows fit").arg(rows)));
        }
    }
};

QTEST_MAIN(TstSettingsLayout)
#include "tst_settingslayout.moc"
