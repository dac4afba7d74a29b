#include "protocol/KeySession.h"

#include "protocol/FileExchange.h"
#include "protocol/KeyModel.h"
#include "protocol/KeyProtocol.h"
#include "protocol/KeySender.h"
#include "protocol/UsbKeyTransport.h"
#include "records/MenuLevels.h"
#include "records/TemplateListsModel.h"

KeySession::KeySession(cGlobalData *globalData, QObject *parent, int listTickMs,
                       int progressTickMs)
    : QObject(parent), m_usb(new UsbKeyTransport)
{
    build(globalData, listTickMs, progressTickMs);
}

KeySession::KeySession(cGlobalData *globalData, ComSlip *comSlip, QObject *parent,
                       int listTickMs, int progressTickMs)
    : QObject(parent), m_usb(new UsbKeyTransport(comSlip))
{
    build(globalData, listTickMs, progressTickMs);
    // Bound to one USB transport for its whole life, there is no other link to be in use.
    m_sender->setModeSource([] { return LinkMode::Usb; });
}

void KeySession::build(cGlobalData *globalData, int listTickMs, int progressTickMs)
{
    m_sender = new KeySender(globalData);
    m_sender->setUsbTransport(m_usb);
    m_model = new KeyModel(this);
    m_menuLevels = new MenuLevels(this);
    m_files = new FileExchange(m_sender, this, listTickMs, progressTickMs);
    m_protocol = new KeyProtocol(globalData, m_sender, m_files, m_model, m_menuLevels, this);
    m_templateLists = new TemplateListsModel(this);
    FileExchange *files = m_files;
    m_usb->setGivenUpHandler(m_files, [files](quint8 packetClass, const QByteArray &payload) {
        if (packetClass == KeyProtocol::ClassFile)
            files->requestGivenUp(payload);
    });
    connect(m_files, &FileExchange::slot_files_got_dir, m_templateLists,
            &TemplateListsModel::slot_files_got_dir);
    connect(m_files, &FileExchange::slot_files_got_file, m_templateLists,
            &TemplateListsModel::slot_files_got_file);
    connect(m_model, &KeyModel::deviceSettingsChanged, m_templateLists,
            [this] { m_templateLists->setKeyMode(m_model->deviceSettings().TypeKey); });
    // Another key's texts, flags and algorithm table must not survive where this key's
    // files do not overwrite them (a missing or short file, a failed read); "Save" would
    // otherwise write them to this key.
    connect(m_protocol, &KeyProtocol::templateListsResetRequested, m_templateLists, [this] {
        m_templateLists->reset();
        m_templateLists->setKeyMode(m_model->deviceSettings().TypeKey);
    });
}

KeySession::~KeySession()
{
    // The QObject children go with the base destructor; they hold m_sender, so it and the
    // transport must outlive them.
    delete m_protocol;
    delete m_files;
    m_protocol = nullptr;
    m_files = nullptr;
    delete m_sender;
    delete m_usb;
}

void KeySession::setWifiDirectory(WifiKeyDirectory *directory)
{
    m_sender->setWifiDirectory(directory);
}

void KeySession::followUsbLink(UsbLink *link)
{
    m_usb->followLink(link);
}
