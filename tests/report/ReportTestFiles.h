#pragma once
// Measurement files and a printer-like recording device for the report tests.

#include "support/RecordingDevice.h"
#include "support/TestFiles.h"
#include "support/ViewProbes.h"
#include "data/CddBuilder.h"

#include <QString>

#include <cmath>
#include <string>

// n samples at a 25 cm step from (n - 1) x 0.25 m (sample 0, the deepest) up to 0.00 m, with a
// Z wave so that every sample has its own value and difference.
inline CddBuilder SampleFile(int n, const std::string& pileNo = "P1")
{
    CddBuilder b;
    b.primary.pileNo = pileNo;
    for (int i = 0; i < n; ++i) {
        const float depth = static_cast<float>(n - 1 - i) * 0.25f;
        const int z = 40000 + static_cast<int>(std::lround(800.0 * std::sin(i * 0.3))) + 3 * i;
        b.primary.samples.push_back({100 + i, 200 - i, z, depth});
    }
    return b;
}

inline CddBuilder WithReport(CddBuilder b, const std::string& pileNo, const std::string& notes)
{
    b.reportFlag = 1;
    b.lengths[0] = 41.3f;  // detected
    b.lengths[1] = 45.0f;  // start depth
    b.lengths[2] = 41.25f; // design cage
    b.lengths[3] = 43.0f;  // design pile
    b.reportTexts = {pileNo, "ENG-NAME", notes, "2024-06-11", "RPROJECT", "RSITE"};
    return b;
}

inline QString Q(const std::string& s)
{
    return QString::fromStdString(s);
}

// A recording device with a printer's resolution: A4 landscape at 600 dpi by default.
class PageRecordingDevice : public RecordingDevice {
public:
    explicit PageRecordingDevice(QSize size = QSize(7016, 4961), int dpi = 600) : RecordingDevice(size), m_dpi(dpi) {}

protected:
    int metric(PaintDeviceMetric metric) const override
    {
        switch (metric) {
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return m_dpi;
        default:
            return RecordingDevice::metric(metric);
        }
    }

private:
    int m_dpi;
};
