#pragma once

#include "history/Capability.h"
#include "history/JointStatistics.h"
#include "history/StatisticsCharts.h"

#include <QVector>
#include <QWidget>

class QGridLayout;
class QLabel;
class QPushButton;
class QTableWidget;
class ChartWidget;

// The statistics of one joint beside the history table: the figures (of the angle too for angle
// algorithms), the capability alarm in red, the figures per operator and key side by side, and
// the individuals, X-bar, R and histogram charts of the moment.
class QBoxLayout;

class StatisticsView : public QWidget
{
    Q_OBJECT
public:
    struct Input
    {
        QString recordName;
        QString unit;                // "Nm" or "kgsm"
        QVector<double> moments;     // as judged (absolute values), in time order
        int ngCount = 0;
        double momentLow = 0;
        double momentHigh = 0;
        bool angleChecked = false;
        QVector<double> angles;      // absolute values, in time order
        double angleLow = 0;
        double angleHigh = 0;
        HistoryFilter scope; // what the figures were read from, for the report
        std::shared_ptr<const StatisticsCharts::Prepared> charts; // of moments, when worked out already
    };

    explicit StatisticsView(QWidget *parent = nullptr);

    void setThresholds(const Capability::Thresholds &thresholds);
    void setInput(const Input &input);
    void clear();
    // The same figures per operator and per key; cleared by every new input.
    void setGroups(const QVector<JointStatistics::Group> &groups);
    const QVector<JointStatistics::Group> &groups() const { return m_groups; }
    // The figures of this record are on their way.
    void showLoading(const QString &recordName);
    bool isLoading() const { return m_loading; }

    const Capability::Result &momentResult() const { return m_moment; }
    const Capability::Result &angleResult() const { return m_angle; }
    bool alarmShown() const;

    // The joint on its report page (see StatisticsReport).
    bool printToPdf(const QString &path, QString *error);

    void retranslate();
    // The width from which the charts stand beside the figures rather than under them.
    int sideBySideWidth() const;

signals:
    void printRequested();

protected:
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void refresh();
    // Figures beside the charts when the room allows, above them otherwise.
    void arrange();
    void fillFigures();
    void fillCharts();
    void fillGroups();

    Capability::Thresholds m_thresholds;
    Input m_input;
    bool m_loading = false;
    QString m_loadingRecord;
    Capability::Result m_moment;
    Capability::Result m_angle;

    QBoxLayout *m_outer = nullptr;
    QWidget *m_figuresBox = nullptr;
    QLabel *m_title = nullptr;
    QLabel *m_alarm = nullptr;
    QGridLayout *m_figures = nullptr;
    QList<QLabel *> m_captions;
    QList<QLabel *> m_values;
    QPushButton *m_print = nullptr;
    QVector<JointStatistics::Group> m_groups;
    QLabel *m_groupsTitle = nullptr;
    QTableWidget *m_groupsTable = nullptr;
    QList<ChartWidget *> m_charts;
    QGridLayout *m_chartGrid = nullptr;
    int m_chartColumns = 2;
};
