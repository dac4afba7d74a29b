#pragma once

#include <QCoreApplication>
#include <QString>

// The editable values of a record (and of a node template row). The first seven are in the
// order of a row of the "ModesVisibility" table, so a parameter's value is its column there.
enum class RecordParameter {
    RangeLow = 0,
    RangeHigh,
    AngleLow,
    AngleHigh,
    StartMom,
    PitchStep,
    Angle,
    HeadMm,
    CountTotal,
    CountCon,
};

// Caption, tool tip, range, precision and initial value of each parameter field. Code 9
// ("Dependence on the angle of the moment") renames five captions and turns the low angle
// into a 0..10 value with one decimal.
class RecordParameters
{
    Q_DECLARE_TR_FUNCTIONS(RecordParameters)
public:
    static constexpr int Count = 10;
    static constexpr int VisibilityColumns = 7; // RangeLow..Angle

    struct FieldInfo
    {
        QString caption;
        QString toolTip;
        double min = 0;
        double max = 0;
        int precision = 0;
        double initial = 0;
    };

    // The field's look for an algorithm. angleLowSwitch says whether the low-angle range
    // follows the algorithm; the editor only switches it while the records page is shown,
    // otherwise the low angle keeps 1..900 with no decimals.
    static FieldInfo field(RecordParameter p, int algorithm, bool angleLowSwitch = true);

    // Keeps low <= high after one of them was edited: a low raised above high drops back to
    // high; a high lowered below low rises back to low. Any other parameter changes nothing.
    // Returns true when a value was moved.
    static bool orderMomentRange(RecordParameter changed, float *low, float *high);
};
