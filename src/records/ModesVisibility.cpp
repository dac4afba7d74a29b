#include "records/ModesVisibility.h"

#include "records/MeasureAlgorithms.h"

ModesVisibility::ModesVisibility() { reset(); }

void ModesVisibility::reset()
{
    m_available.fill(1);
    m_visible.fill(1);
    m_byte50 = 0;
    m_loaded = false;
}

bool ModesVisibility::load(const QByteArray &bytes)
{
    if (bytes.size() < UsedSize)
        return false;
    const char *d = bytes.constData();
    for (size_t i = 0; i < m_available.size(); ++i)
        m_available[i] = quint8(d[i]);
    m_byte50 = quint8(d[50]);
    for (size_t i = 0; i < m_visible.size(); ++i)
        m_visible[i] = quint8(d[51 + i]);
    m_loaded = true;
    return true;
}

bool ModesVisibility::isAvailable(int mode, int algorithm) const
{
    if (!MeasureAlgorithms::isValid(algorithm))
        return false;
    if (mode < 0 || mode >= Modes)
        return true;
    return m_available[size_t(10 * mode + algorithm)] != 0;
}

QVector<int> ModesVisibility::availableAlgorithms(int mode) const
{
    QVector<int> codes;
    for (int a = 0; a < MeasureAlgorithms::Count; ++a) {
        if (isAvailable(mode, a))
            codes << a;
    }
    return codes;
}

bool ModesVisibility::isVisible(int algorithm, RecordParameter p) const
{
    const int col = int(p);
    if (col >= RecordParameters::VisibilityColumns)
        return true;
    if (!MeasureAlgorithms::isValid(algorithm))
        return true;
    return m_visible[size_t(algorithm * RowSize + col)] != 0;
}
