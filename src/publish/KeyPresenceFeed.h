#pragma once

class KeyModel;
class KeyPresence;
class UsbLink;
class cGlobalData;
class cWifi;

// Tells presence about the keys the links find and lose: a key counts as present over the
// link in use once its device settings (with the serial number) were read, and gone when the
// USB link loses it or the Wi-Fi link forgets it. wifi may be null.
void followKeyLinks(KeyPresence *presence, KeyModel *model, cGlobalData *data, UsbLink *usb, cWifi *wifi);
