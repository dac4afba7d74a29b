#pragma once

class PublishSettingsPanel;
class PublishStation;
class QWidget;
class cGlobalData;

// The broker settings group (made in parent) for the station's publishing, which starts when a
// broker is configured (the stored address, or --mqtt's in options). historyOpen: the history
// it reads is open; else the group says nothing can be published.
PublishSettingsPanel *installPublishing(PublishStation *station, bool historyOpen, cGlobalData *options,
                                        QWidget *parent);
