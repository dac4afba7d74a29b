#pragma once

#include "base/Timing.h"

#include <QObject>

class cGlobalData;
class ComSlip;
class FileExchange;
class KeyModel;
class KeyProtocol;
class KeySender;
class MenuLevels;
class TemplateListsModel;
class UsbKeyTransport;
class UsbLink;
class WifiKeyDirectory;

// The protocol layer in one piece: models, sender, file exchange and JSON protocol, wired
// together. The main window makes one and connects the links' frames to
// protocol()->iReceiveUart_Click; a tool or test makes one on its own ComSlip and drives a
// whole read-out without a window.
class KeySession : public QObject
{
    Q_OBJECT
public:
    // USB commands go nowhere until followUsbLink().
    explicit KeySession(cGlobalData *globalData, QObject *parent = nullptr,
                        int listTickMs = td::timing::fileListTick,
                        int progressTickMs = td::timing::exchangeProgressTick);
    // USB commands go to this ComSlip (the caller keeps it), and USB is the link in use.
    KeySession(cGlobalData *globalData, ComSlip *comSlip, QObject *parent = nullptr,
               int listTickMs = td::timing::fileListTick,
               int progressTickMs = td::timing::exchangeProgressTick);
    ~KeySession() override;

    void setWifiDirectory(WifiKeyDirectory *directory);
    // USB commands go to whatever ComSlip that link has open at the time.
    void followUsbLink(UsbLink *link);

    KeyModel *model() const { return m_model; }
    MenuLevels *menuLevels() const { return m_menuLevels; }
    // The template lists and the key's algorithm table, reloaded whenever the key's
    // "templates" folder arrives; the key mode follows the device settings.
    TemplateListsModel *templateLists() const { return m_templateLists; }
    KeySender *sender() const { return m_sender; }
    FileExchange *files() const { return m_files; }
    KeyProtocol *protocol() const { return m_protocol; }
    UsbKeyTransport *usbTransport() const { return m_usb; }

private:
    void build(cGlobalData *globalData, int listTickMs, int progressTickMs);

    UsbKeyTransport *m_usb = nullptr;
    KeySender *m_sender = nullptr;
    KeyModel *m_model = nullptr;
    MenuLevels *m_menuLevels = nullptr;
    TemplateListsModel *m_templateLists = nullptr;
    FileExchange *m_files = nullptr;
    KeyProtocol *m_protocol = nullptr;
};
