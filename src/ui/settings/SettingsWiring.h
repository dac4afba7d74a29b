#pragma once

class KeySettingsPage;
class MainWindow;

// Builds the key settings into the Parameters page's containers and the message panel of
// the main form, and connects them.
KeySettingsPage *installKeySettings(MainWindow *window);
