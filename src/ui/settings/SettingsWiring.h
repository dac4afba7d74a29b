#pragma once

#include "ui/settings/KeyMessagePanel.h"

class KeySession;
class KeySettingsPage;
class ParametersPage;
class PopupHost;

// The key settings on the Parameters page (host, which places them in a row of its own) and
// the main form's message panel on the widgets the frame gives it.
KeySettingsPage *installKeySettings(KeySession *session, PopupHost *popups, ParametersPage *host,
                                    const KeyMessagePanel::Widgets &message);
