#pragma once

#include "history/HistoryMeasure.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QString>
#include <QVector>

// A tightening is the key's serial, the record, its index in the record and the record's erase
// generation. The key numbers a record from 0 again once it is emptied, so the generation is
// what tells this morning's tightening at index 0 from last night's: the program moves a
// record to its next generation when it empties the record on the key, and when it finds the
// record emptied behind its back (the key counts fewer measures than the history holds, or
// the reading at an index is not the one held there). The current generation of each record
// lives in the history beside its measures, in table record_generations.
namespace RecordGenerations {

// The record's generation now: 0 until it was first emptied; -1 when it cannot be read.
int current(QSqlDatabase db, const QString &keySerial, const QString &record, QString *error);
// Moves the record to its next generation; returns it, -1 on failure.
int bump(QSqlDatabase db, const QString &keySerial, const QString &record, QString *error);

// The key counts keyCount measures for the record: fewer than the history holds of its
// current generation moves it to the next one. Returns false only on a failed query.
bool noteCount(QSqlDatabase db, const QString &keySerial, const QString &record, int keyCount, QString *error);

// Gives every measure its record's generation (moving the record on first when the measures
// show it was emptied) and drops those the history already holds as the same tightening.
// Consecutive measures of one record with one eraseGeneration are one reading of it.
// *failure: the driver's error when it fails, so a caller can tell a lost server from a refusal.
bool resolve(QSqlDatabase db, QVector<HistoryMeasure> *measures, QString *error, QSqlError *failure = nullptr);

// What the history holds of one record's current generation.
struct Held
{
    int generation = 0;
    int rows = 0;     // rows of that generation
    int matching = 0; // of the given measures, those held as the same tightening
};
bool held(QSqlDatabase db, const QVector<HistoryMeasure> &measures, const QString &keySerial, const QString &record,
          Held *out, QString *error);

// The step that brings a version-1 history to erase generations. Rows already there get the
// generation their order of arrival implies: walking a record's rows by id, an index seen
// before in the current generation opens the next one (the record was emptied in between).
// No row is dropped or merged; ids stay as they were.
bool migrate(QSqlDatabase db, bool server, QString *error);

} // namespace RecordGenerations
