#include "publish/ResultMessage.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

namespace {

QJsonValue number(double v)
{
    return std::isfinite(v) ? QJsonValue(v) : QJsonValue();
}

} // namespace

QByteArray ResultMessage::toJson() const
{
    QJsonObject levels{{QStringLiteral("operator"), operatorText},
                       {QStringLiteral("product"), product},
                       {QStringLiteral("operation"), operationNumber},
                       {QStringLiteral("node"), node}};
    QJsonObject limits{{QStringLiteral("momentLow"), number(momentLow)},
                       {QStringLiteral("momentHigh"), number(momentHigh)}};
    if (angleChecked) {
        limits.insert(QStringLiteral("angleLow"), number(angleLow));
        limits.insert(QStringLiteral("angleHigh"), number(angleHigh));
    }
    QJsonObject o{
        {QStringLiteral("id"), resultId},
        {QStringLiteral("record"), recordName},
        {QStringLiteral("levels"), levels},
        {QStringLiteral("moment"), number(moment)},
        {QStringLiteral("angle"), angleChecked ? number(angle) : QJsonValue()},
        {QStringLiteral("correctedDefect"), number(correctedDefect)},
        {QStringLiteral("verdict"), ok ? QStringLiteral("OK") : QStringLiteral("NG")},
        {QStringLiteral("limits"), limits},
        {QStringLiteral("unit"), unit},
        {QStringLiteral("time"), measuredAt.isValid() ? QJsonValue(measuredAt.toString(Qt::ISODate)) : QJsonValue()},
        {QStringLiteral("operatorName"), operatorName},
        {QStringLiteral("keyName"), keyName},
        {QStringLiteral("keySerial"), keySerial},
        {QStringLiteral("calibrationNm"), number(calibrationNm)},
    };
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}
