#pragma once

class KeyConnection;
class KeyPresence;

// Tells presence about the keys the key connection finds and loses: a key counts as present
// over the link in use once its device settings (with the serial number) were read, and gone
// when the USB link loses it or the Wi-Fi link forgets it.
void followKeyLinks(KeyPresence *presence, KeyConnection *connection);
