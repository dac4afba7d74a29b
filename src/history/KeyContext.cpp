#include "history/KeyContext.h"

#include "config/CalibrationArchive.h"
#include "protocol/KeyModel.h"

HistoryArchiver::Context keyContext(const KeyModel &key)
{
    HistoryArchiver::Context c;
    const DeviceSettings &d = key.deviceSettings();
    c.keySerial = QString::fromUtf8(d.SerialNo);
    c.keyName = key.names().keyName;
    c.operatorName = key.names().operatorName;
    c.kgsm = d.Units == 1;
    c.calibrationNominal = key.nominalMoment();
    if (!key.calibrationText().isEmpty())
        c.calibrationFile = CalibrationArchive::fileName(key.calibration().nm, d.VersionSW, d.SerialNo);
    return c;
}
