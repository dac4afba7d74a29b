#pragma once

#include <QByteArray>
#include <QString>

// One pending transfer of the file exchange. An entry stays listed until its transfer
// finishes; a failed one is issued again when a listing of its folder finishes.
struct TransferEntry
{
    QString keyPath;  // key path of the file; with command, the identity of the entry
    QString fileText; // FA_READ: the file name; FA_WRITE: the full local file path
    QString keyDir;   // "/" + key folder
    QString pcRoot;   // FA_WRITE: the local path with the key path removed
    // FA_WRITE: the file as it was when the upload started. Every part the key asks for
    // comes from here, so a mirror refresh that replaces or deletes the local file meanwhile
    // cannot cut the upload short or mix two versions on the key.
    QByteArray content;
    QString group;    // "/" + key folder; decides when a folder is complete
    int command = 0;  // FileCmdHeader::FA_READ or FA_WRITE
    int state = 0;
    int flag = 0;     // the caller's, carried along
    int repeated = 0; // 1 once the request was issued again

    // Progress: the file's size when known (writes), bytes moved so far.
    qint64 size = -1;
    qint64 bytesDone = 0;
};
