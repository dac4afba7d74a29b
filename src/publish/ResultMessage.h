#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

// One tightening as the plant's systems receive it: the JSON message published per measure.
struct ResultMessage
{
    QString resultId; // stable across stations and repeats: consumers drop a redelivery by it
    QString recordName;
    QString operatorText; // level texts: operator, product (wheel), operation number, node
    QString product;
    QString operationNumber;
    QString node;
    double moment = 0;
    double angle = 0;
    double correctedDefect = 0;
    bool ok = false;
    double momentLow = 0;
    double momentHigh = 0;
    double angleLow = 0;
    double angleHigh = 0;
    bool angleChecked = false;
    QString unit;
    QDateTime measuredAt; // invalid: the key stored no date for it
    QString operatorName;
    QString keyName;
    QString keySerial;
    double calibrationNm = 0;

    // Always valid JSON (UTF-8): texts are escaped by the JSON writer, control characters and
    // all, and a number that is not finite (a spoiled entry) is written as null.
    QByteArray toJson() const;
};
