#pragma once

#include <QString>
#include <QtGlobal>

// Plain data of the three template lists the key shows in its menus. Each entry knows its own
// index (its slot in the list) and whether the record editor may choose it.

enum class TemplateKind { Fio = 0, Wheel = 1, Uzel = 2 };

struct FioTemplate
{
    static constexpr int Count = 10;
    static constexpr int EntrySize = 95;
    static constexpr int TextField = 31;

    QString text1; // shown on the key's display
    QString text2;
    QString text3;
    bool enabled = true;
    quint8 index = 0;
};

struct WheelTemplate
{
    static constexpr int Count = 50;
    static constexpr int EntrySize = 103;
    static constexpr int TextField = 101;

    QString text;
    bool enabled = true;
    quint8 index = 0;
};

struct UzelTemplate
{
    static constexpr int Count = 100;
    static constexpr int EntrySize = 160;
    static constexpr int TextField = 41;

    QString text1; // "Main info"
    QString text2;
    QString text3;
    quint8 countBolts = 0;
    bool enabled = true;
    quint8 index = 0;
    quint8 algorithm = 0;
    // Same order as in a record header.
    float lowMoment = 0;
    float highMoment = 0;
    float headMm = 0;
    float lowAngle = 0;
    float highAngle = 0;
    float startMoment = 0;
    float pitchStep = 0;
    float angle = 0;
};
