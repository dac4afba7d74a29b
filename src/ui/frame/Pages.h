#pragma once

// The main window's page stack, in stacking order. The index is also what the key is told the
// PC shows (PCMenu), so the values are fixed.
enum class MainPage : int {
    Measures = 0, // the measurement views
    Settings = 1, // left menu and the settings pages
    Logo = 2,     // boot and no-key screen
    MainForm = 3, // the level tree
};

// The settings page stack, in the order of the left menu's buttons.
enum class SettingsPage : int {
    Records = 0, // "Viewer"
    Templates = 1,
    Database = 2,
    Calibrate = 3,
    Parameters = 4,
    About = 5,
};

constexpr int settingsPageCount = 6;
