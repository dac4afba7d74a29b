#pragma once

#include <QObject>

#include <memory>

struct ArchiverSources;
class HistoryArchiver;
class HistoryService;
class HistoryStore;
class KeyConnection;
class KeySession;
class PublishStation;
class RecordList;
class ReportDatabase;
class cGlobalData;

// What one station runs, built once by each program (the window's main, the command line's
// dispatcher). Pages and commands are handed the pieces they use, never the station itself, so
// what a page can reach shows in its install function's parameters.
//
// A service is made on first use: a command pays only for what it asks for, and the key
// connection is made after settings.ini has named the PC address its Wi-Fi link binds to.
class Station : public QObject
{
    Q_OBJECT
public:
    explicit Station(cGlobalData *options, QObject *parent = nullptr);
    ~Station() override;

    // The command line's options and the settings read at start-up.
    cGlobalData *options() const { return m_options; }

    KeyConnection *connection();
    KeySession *session();
    // The records of the local dbsett mirror, rebuilt whenever it changes.
    RecordList *records();

    // The window's tightening history, on a thread of its own; closed until openHistory.
    HistoryService *history();
    // Opens it where the options (--history-db) or else the history page's setting say, and
    // archives what the key connection brings (once it exists) under the key in use, else under
    // the key the last run saved. Answered by HistoryService::opened.
    void openHistory();

    // The command line's history: a store and its archiver on the calling thread (a command has
    // nothing else to keep answering), the archiver assembled from sources by the same function
    // as the window's key identity. False with *error; the store then stays closed.
    bool openHistoryHere(const QString &url, const ArchiverSources &sources, QString *error);
    HistoryStore *storeHere() const { return m_storeHere.get(); }
    HistoryArchiver *archiverHere() const { return m_archiverHere.get(); }

    // Publishing to the plant's broker from the station's own history (never a second store),
    // following it onto whatever database it is opened on, with the key links feeding the
    // status topics once the connection exists.
    PublishStation *publishing();

    // The report database of the data root, on the thread that first asks (the GUI thread in
    // the window); work on other threads opens its own on the same file. Made and opened on
    // first use; isOpen() says whether that worked.
    ReportDatabase *reports();

private:
    cGlobalData *m_options;
    KeyConnection *m_connection = nullptr;
    RecordList *m_records = nullptr;
    HistoryService *m_history = nullptr;
    PublishStation *m_publishing = nullptr;
    std::unique_ptr<ReportDatabase> m_reports;
    std::unique_ptr<HistoryStore> m_storeHere;
    std::unique_ptr<HistoryArchiver> m_archiverHere;
};
