#include "ui/history/HistoryWindow.h"

#include "history/HistorySettings.h"
#include "ui/history/HistoryPage.h"
#include "ui/widgets/JobProgressWidget.h"

#include <QAccessibleWidget>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QSettings>
#include <QVBoxLayout>

namespace {
const QString kGeometry = QStringLiteral("window/geometry");

// A top-level QWidget reaches a screen reader as a "filler" pane with no window around it; a
// window of its own is announced as one, by its title, like the main window.
QAccessibleInterface *historyWindowAccessible(const QString &className, QObject *object)
{
    if (className != QLatin1String("HistoryWindow") || !object || !object->isWidgetType())
        return nullptr;
    return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Window);
}
}

HistoryWindow::HistoryWindow(HistoryService *service, ReportDatabase *reports, QWidget *parent)
    : QWidget(parent, Qt::Window), m_page(new HistoryPage(service, this)), m_progress(new JobProgressWidget(this)),
      m_message(new QLabel(this))
{
    setObjectName(QStringLiteral("historyWindow"));
    static const bool accessibleAsWindow = (QAccessible::installFactory(historyWindowAccessible), true);
    Q_UNUSED(accessibleAsWindow)
    m_page->setReportDatabase(reports);
    m_page->setProgressWidget(m_progress);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 6);
    layout->addWidget(m_page, 1);
    layout->addWidget(m_progress);
    m_message->setObjectName(QStringLiteral("lbHistoryWindowMessage"));
    m_message->setWordWrap(true);
    m_message->hide();
    layout->addWidget(m_message);
    // Messages of the page stay in this window: the main window may be on another screen,
    // or showing the no-key page.
    auto say = [this](const QString &text, const QString &style) {
        m_message->setText(text);
        m_message->setStyleSheet(style == QLatin1String("red") ? QStringLiteral("color: red; font-weight: bold;")
                                                                : QStringLiteral("color: rgb(0, 90, 160);"));
        m_message->setAccessibleName(text);
        m_message->show();
    };
    connect(m_page, &HistoryPage::messageRequested, this, say);
    connect(m_page, &HistoryPage::statusMessage, this, [say](const QString &text) { say(text, QString()); });
    connect(m_progress, &JobProgressWidget::messageRequested, this, say);

    QSettings ini(HistorySettings::path(), QSettings::IniFormat);
    if (!restoreGeometry(ini.value(kGeometry).toByteArray())) {
        const QRect area = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->availableGeometry()
                                                            : QRect(0, 0, 1280, 800);
        resize(qMin(1280, area.width()), qMin(800, area.height()));
        move(area.center() - rect().center());
    }
    retranslate();
}

void HistoryWindow::present()
{
    if (isMinimized())
        showNormal();
    else
        show();
    raise();
    activateWindow();
}

void HistoryWindow::saveGeometryNow()
{
    QDir().mkpath(QFileInfo(HistorySettings::path()).absolutePath());
    QSettings ini(HistorySettings::path(), QSettings::IniFormat);
    ini.setValue(kGeometry, saveGeometry());
}

void HistoryWindow::closeEvent(QCloseEvent *event)
{
    saveGeometryNow();
    QWidget::closeEvent(event);
}

void HistoryWindow::retranslate()
{
    setWindowTitle(tr("TorqueDesk — tightening history"));
    setAccessibleName(windowTitle());
}

void HistoryWindow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}
