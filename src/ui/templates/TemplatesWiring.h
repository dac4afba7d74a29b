#pragma once

#include "ui/templates/TemplatesPage.h"

class KeySession;
class PopupHost;

// The template lists' editor on the Types page's widgets, on the key session.
TemplatesPage *installTemplatesPage(const TemplatesPage::Widgets &widgets, KeySession *session, PopupHost *popups,
                                    QObject *owner);
