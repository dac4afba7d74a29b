#pragma once

class MainWindow;
class PublishStation;

// Puts the broker settings group on the Data Base page, starts publishing when a broker is
// configured (the stored address, or --mqtt's) and lets the status topics follow the key
// links. Returns the station (owned by the window).
PublishStation *installPublishing(MainWindow *window);
