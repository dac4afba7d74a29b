#pragma once

// Every interval the program runs on, in milliseconds. Classes take these as constructor
// defaults so tests can drive the same logic with short intervals.
namespace td::timing {

constexpr int initGraphicsDelay = 500;      // boot screen to InitGraphics()
constexpr int portScanRearm = 500;          // no-key port scan re-arm
constexpr int statusLineHold = 1500;        // a status-line message stays this long
constexpr int statusExchangeTick = 1500;    // slot_TmrGetJsonEvents
constexpr int queueReplyTimeout = 2000;     // MyQueueTX reply timer
constexpr int queueAliveTick = 1000;        // MyQueueTX one-second countdown
constexpr int wifiOneSecondTick = 1000;     // cWifi silent-key sweep
constexpr int wifiReadyDelay = 3000;        // Wi-Fi-ready flag after switching to Wi-Fi
constexpr int wifiPortRetry = 3000;         // Wi-Fi ports held by another program: next try
constexpr int ipListDelay = 10000;          // PC address list after start
constexpr int fileListTick = 200;           // slot_iTmrFileReadWriteList
constexpr int exchangeProgressTick = 200;   // slot_iTmrProgressExchange
constexpr int messageCountdownTick = 1000;  // PopupMsg countdown
constexpr int keypadSelectDelay = 10;       // PopupA selects its text after showing
constexpr int sqlButtonRestore = 1500;      // barcode button back to its idle look

} // namespace td::timing
