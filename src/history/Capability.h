#pragma once

#include <QCoreApplication>
#include <QString>
#include <QVector>

// Process capability and control charts of one joint's tightenings: the figures a quality
// engineer reads to decide whether a joint's process can hold its range and stays in control.
class Capability
{
    Q_DECLARE_TR_FUNCTIONS(Capability)
public:
    struct Summary
    {
        int n = 0;
        double mean = 0;
        double sigma = 0; // sample standard deviation (n - 1); 0 below two values
        double min = 0;
        double max = 0;
        double range = 0;
        int ngCount = 0;
        double ngShare = 0; // 0..1
    };

    struct Result
    {
        Summary summary;
        bool computed = false; // false: cp and cpk mean nothing, see reason
        QString reason;        // why there are no capability figures, for the page and the CLI
        double cp = 0;
        double cpk = 0;
        bool alarm = false; // computed and below a threshold
    };

    struct Thresholds
    {
        double cp = 2.0;
        double cpk = 1.33;
        int minimumN = 25;
    };

    // One pass (Welford): stable for a million values close together, where the textbook
    // sum-of-squares formula loses every digit.
    static Summary summarize(const QVector<double> &values, int ngCount = 0);

    // Cp = (USL - LSL) / 6 sigma, Cpk = min(USL - mean, mean - LSL) / 3 sigma.
    static Result evaluate(const QVector<double> &values, double lsl, double usl, int ngCount,
                           const Thresholds &thresholds);
    static Result evaluate(const QVector<double> &values, double lsl, double usl, int ngCount = 0);
};

// Control charts over the values in time order.
class ControlChart
{
public:
    // Individuals chart: every value against the mean and the natural limits mean +/- 2.66
    // times the average moving range (and, beside them, the joint's own range).
    struct Individuals
    {
        QVector<double> values;
        double mean = 0;
        double ucl = 0;
        double lcl = 0;
        QVector<int> beyond; // indexes of values outside [lcl, ucl]
    };

    // X-bar/R chart over consecutive subgroups of a fixed size. A trailing subgroup that is not
    // full is left out: its range would not be comparable with the others'.
    struct XbarR
    {
        int subgroupSize = 5;
        QVector<double> means;
        QVector<double> ranges;
        double grandMean = 0;
        double meanRange = 0;
        double uclX = 0;
        double lclX = 0;
        double uclR = 0;
        double lclR = 0;
        QVector<int> meansBeyond;
        QVector<int> rangesBeyond;
        int leftOut = 0; // values of the incomplete last subgroup
    };

    static constexpr double E2 = 2.66; // individuals limits from the moving range
    // Constants for subgroups of five.
    static constexpr double A2 = 0.577;
    static constexpr double D3 = 0.0;
    static constexpr double D4 = 2.114;

    static Individuals individuals(const QVector<double> &values);
    static XbarR xbarR(const QVector<double> &values); // subgroups of five
};
