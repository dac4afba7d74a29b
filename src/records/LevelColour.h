#pragma once

#include <QtGlobal>

// The five looks of a level-tree value button. Which one a button gets is decided by
// LevelTreeModel from the status bits of the records below it.
enum class LevelColour { Grey, Yellow, Red, Green, Blue };

struct LevelColourRgb
{
    int r, g, b;
};

// Background when unchecked and when checked (multi-select), border rgb(200, 200, 200).
inline LevelColourRgb levelBackground(LevelColour c)
{
    switch (c) {
    case LevelColour::Blue:
        return {150, 210, 240};
    case LevelColour::Yellow:
        return {240, 240, 160};
    case LevelColour::Green:
        return {180, 240, 180};
    case LevelColour::Red:
        return {240, 180, 180};
    case LevelColour::Grey:
        break;
    }
    return {220, 220, 220};
}

inline LevelColourRgb levelChecked(LevelColour c)
{
    switch (c) {
    case LevelColour::Blue:
        return {100, 140, 255};
    case LevelColour::Yellow:
        return {255, 255, 80};
    case LevelColour::Green:
        return {80, 255, 80};
    case LevelColour::Red:
        return {255, 80, 80};
    case LevelColour::Grey:
        break;
    }
    return {250, 250, 250};
}
