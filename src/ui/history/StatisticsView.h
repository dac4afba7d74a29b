#pragma once

#include "history/Capability.h"

#include <QVector>
#include <QWidget>

class QGridLayout;
class QLabel;
class QPushButton;
namespace QtCharts {
class QChart;
class QChartView;
}

// The statistics of one joint beside the history table: the figures, the individuals chart and
// the X-bar/R chart of the moment (and of the angle for angle algorithms), with the capability
// alarm in red. It follows whatever measures the history page's filter hands it.
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
    };

    explicit StatisticsView(QWidget *parent = nullptr);

    void setThresholds(const Capability::Thresholds &thresholds);
    void setInput(const Input &input);
    void clear();
    // The figures of this record are on their way.
    void showLoading(const QString &recordName);
    bool isLoading() const { return m_loading; }

    const Capability::Result &momentResult() const { return m_moment; }
    const Capability::Result &angleResult() const { return m_angle; }
    bool alarmShown() const;

    // The view as one A4 landscape page.
    bool printToPdf(const QString &path, QString *error);

    void retranslate();

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

    Capability::Thresholds m_thresholds;
    Input m_input;
    bool m_loading = false;
    QString m_loadingRecord;
    Capability::Result m_moment;
    Capability::Result m_angle;

    QBoxLayout *m_outer = nullptr;
    QWidget *m_figuresBox = nullptr;
    bool m_printing = false;
    QLabel *m_title = nullptr;
    QLabel *m_alarm = nullptr;
    QGridLayout *m_figures = nullptr;
    QList<QLabel *> m_captions;
    QList<QLabel *> m_values;
    QPushButton *m_print = nullptr;
    QtCharts::QChartView *m_individualsView = nullptr;
    QtCharts::QChartView *m_xbarView = nullptr;
    QtCharts::QChartView *m_rangeView = nullptr;
};
