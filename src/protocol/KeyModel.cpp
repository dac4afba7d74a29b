#include "protocol/KeyModel.h"

namespace {
// One N·m expressed in kgf·m.
constexpr double kKgfPerNewton = 0.101972;
} // namespace

KeyModel::KeyModel(QObject *parent) : QObject(parent) {}

void KeyModel::setDeviceSettings(const DeviceSettings &value)
{
    m_device = value;
    emit deviceSettingsChanged();
}

void KeyModel::setNames(const KeyNames &value)
{
    m_names = value;
    emit namesChanged();
}

void KeyModel::setWifiSettings(const WifiSettings &value)
{
    m_wifi = value;
    emit wifiSettingsChanged();
}

void KeyModel::setClock(const KeyClock &value, const QDateTime &pcTime)
{
    m_clock = value;
    emit clockRead(pcTime);
}

void KeyModel::setCalibration(const CalibrationValues &values, const QByteArray &text)
{
    m_calibration = values;
    m_calibrationText = text;
    m_nominalMoment = nominalFor(values.nm, m_device.Units);
    emit calibrationChanged();
}

double KeyModel::nominalFor(double nm, quint16 units)
{
    return units == 1 ? nm * kKgfPerNewton : nm;
}

QString KeyModel::windowTitleFor(double nominal, quint16 units)
{
    const bool kgf = units == 1;
    const QString moment = kgf ? QString::number(nominal, 'f', 2) : QString::number(nominal, 'g', 6);
    const QString unit = kgf ? tr("kgsm") : tr("Nm");
    return tr("Dynamometric key") + QLatin1Char(' ') + moment + QLatin1Char(' ') + unit
        + QLatin1Char(' ');
}

void KeyModel::reset()
{
    m_device = DeviceSettings();
    m_names = KeyNames();
    m_wifi = WifiSettings();
    m_clock = KeyClock();
    m_calibration = CalibrationValues();
    m_calibrationText.clear();
    m_nominalMoment = 0.0;
    emit deviceSettingsChanged();
    emit namesChanged();
    emit wifiSettingsChanged();
    emit calibrationChanged();
}
