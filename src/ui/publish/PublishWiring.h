#pragma once

class PublishSettingsPanel;
class PublishStation;
class QWidget;
class cGlobalData;

// The broker settings group (made in parent) for the station's publishing, which starts when a
// broker is configured (the stored address, or --mqtt's in options). The frame adds what the
// history's opening answers.
PublishSettingsPanel *installPublishing(PublishStation *station, cGlobalData *options,
                                        QWidget *parent);
