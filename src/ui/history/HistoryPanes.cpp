#include "ui/history/HistoryPanes.h"

#include "history/HistorySettings.h"

#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QFrame>
#include <QSettings>
#include <QSplitter>
#include <QTabBar>
#include <QTabWidget>

#include <algorithm>
#include <QVBoxLayout>

namespace {
// Tabs no taller than their text needs: on the Data Base page of a 720-pixel window every
// pixel of height is a row of the table.
class CompactTabBar : public QTabBar
{
public:
    using QTabBar::QTabBar;
    QSize tabSizeHint(int index) const override
    {
        QSize s = QTabBar::tabSizeHint(index);
        s.setHeight(std::min(s.height(), fontMetrics().height() + 6));
        return s;
    }
};

class Tabs : public QTabWidget
{
public:
    explicit Tabs(QWidget *parent) : QTabWidget(parent) { setTabBar(new CompactTabBar(this)); }
};

const QString kTab = QStringLiteral("layout/tab");
const QString kTableShare = QStringLiteral("layout/tableShare");

QVariant stored(const QString &key)
{
    return QSettings(HistorySettings::path(), QSettings::IniFormat).value(key);
}

void setFramed(QWidget *w, bool framed)
{
    if (auto *frame = qobject_cast<QFrame *>(w))
        frame->setFrameShape(framed ? QFrame::StyledPanel : QFrame::NoFrame);
}

void store(const QString &key, const QVariant &value)
{
    QDir().mkpath(QFileInfo(HistorySettings::path()).absolutePath());
    QSettings(HistorySettings::path(), QSettings::IniFormat).setValue(key, value);
}
} // namespace

HistoryPanes::HistoryPanes(QWidget *table, QWidget *statistics, Widths widths, QWidget *parent)
    : QWidget(parent), m_table(table), m_statistics(statistics), m_widths(std::move(widths)),
      m_split(new QSplitter(Qt::Horizontal, this)), m_tabs(new Tabs(this))
{
    setObjectName(QStringLiteral("wHistoryPanes"));
    m_split->setObjectName(QStringLiteral("splitHistory"));
    m_split->setChildrenCollapsible(false);
    m_tabs->setObjectName(QStringLiteral("tabHistory"));
    m_tabs->setDocumentMode(true);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_split);
    layout->addWidget(m_tabs);
    connect(m_tabs, &QTabWidget::currentChanged, this, [this](int index) {
        if (!m_arranging && index >= 0)
            store(kTab, index);
    });
    connect(m_split, &QSplitter::splitterMoved, this, [this] {
        const QList<int> sizes = m_split->sizes();
        if (sizes.size() == 2 && sizes.at(0) + sizes.at(1) > 0)
            store(kTableShare, double(sizes.at(0)) / (sizes.at(0) + sizes.at(1)));
    });
    arrange(false);
    retranslate();
}

void HistoryPanes::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const QPair<int, int> need = m_widths();
    const bool both = width() >= need.first + need.second + m_split->handleWidth();
    if (both != m_sideBySide)
        arrange(both);
}

void HistoryPanes::arrange(bool sideBySide)
{
    m_arranging = true;
    m_sideBySide = sideBySide;
    if (sideBySide) {
        m_tabs->hide();
        m_tabs->clear();
        m_split->addWidget(m_table);
        m_split->addWidget(m_statistics);
        setFramed(m_table, true);
        // A tab the user left hides its page; here both are to be seen.
        m_table->show();
        m_statistics->show();
        m_split->show();
        // The statistics get what their charts need beside the figures, the table the rest,
        // unless the user has set the handle elsewhere before.
        const int room = width() - m_split->handleWidth();
        const double share = stored(kTableShare).toDouble();
        const int table = share > 0.05 && share < 0.95 ? int(share * room) : room - m_widths().second;
        m_split->setSizes({table, room - table});
    } else {
        m_split->hide();
        // The tab's page is the table's border already.
        setFramed(m_table, false);
        m_tabs->addTab(m_table, QString());
        m_tabs->addTab(m_statistics, QString());
        m_tabs->setCurrentIndex(qBound(0, stored(kTab).toInt(), 1));
        m_tabs->show();
        retranslate();
    }
    m_arranging = false;
    emit arrangementChanged(sideBySide);
}

void HistoryPanes::retranslate()
{
    const QString both = tr("Measures and statistics");
    m_split->setAccessibleName(both);
    m_tabs->setAccessibleName(both);
    const int table = m_tabs->indexOf(m_table);
    const int statistics = m_tabs->indexOf(m_statistics);
    if (table >= 0) {
        m_tabs->setTabText(table, tr("Measures"));
        m_tabs->setTabToolTip(table, tr("The measures the filter found (Ctrl+Tab: statistics and charts)"));
    }
    if (statistics >= 0) {
        m_tabs->setTabText(statistics, tr("Statistics and charts"));
        m_tabs->setTabToolTip(statistics, tr("Capability, control charts and histogram of the joint in view"));
    }
}

void HistoryPanes::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}
