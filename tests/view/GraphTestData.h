#pragma once

#include "analysis/Smoothing.h"
#include "data/CFileData.h"
#include "support/RecordingDevice.h"
#include "support/TestFiles.h"
#include "support/ViewProbes.h"
#include "view/CDrawView.h"
#include "view/FrameState.h"
#include "view/IStatusPanes.h"

#include <QList>
#include <QMap>
#include <QPainter>

#include <vector>

// One sample of a test data set: depth and the three components.
struct TestSample {
    float depth;
    int x;
    int y;
    int z;
};

// Fills data as a full load would leave it: raw samples, smoothed depths, counts and step; the
// smoothed values and differences are rebuilt with one point, as the paint does.
inline void FillData(CFileData& data, const std::vector<TestSample>& samples, int step = 25)
{
    data.m_nStep = step;
    data.m_nCount = static_cast<uint32_t>(samples.size());
    data.m_nSmoothedCount = static_cast<int32_t>(samples.size());
    for (std::size_t i = 0; i < samples.size(); ++i) {
        SampleRecord& r = data.m_raw[i];
        r = SampleRecord{};
        r.x = samples[i].x;
        r.y = samples[i].y;
        r.z = samples[i].z;
        r.depth = samples[i].depth;
        data.m_smoothed[i].depth = r.depth;
    }
    RebuildSmoothedTable(data, 1);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        data.m_raw[i].dx = data.m_smoothed[i].dx;
        data.m_raw[i].dy = data.m_smoothed[i].dy;
        data.m_raw[i].dz = data.m_smoothed[i].dz;
    }
}

// 42 samples from 12.30 m up to 0.00 m. Z runs from -120 (sample 1) to 880 (sample 0), X and Y
// wander in their own ranges.
inline std::vector<TestSample> StandardSamples()
{
    std::vector<TestSample> out;
    for (int k = 0; k < 42; ++k) {
        const float depth = 12.3f - 0.3f * static_cast<float>(k);
        int z = 180 + (k * 53) % 400;
        if (k == 0)
            z = 880;
        if (k == 1)
            z = -120;
        out.push_back({depth < 0.0f ? 0.0f : depth, 30000 + (k * 97) % 900, -2000 + (k * 31) % 700, z});
    }
    return out;
}

class StatusRecorder : public IStatusPanes {
public:
    void SetPaneWidth(int paneId, int width) override { widths[paneId] = width; }
    void SetPaneText(int paneId, const QString& text) override
    {
        texts[paneId] = text;
        order.append(paneId);
    }
    QMap<int, QString> texts;
    QMap<int, int> widths;
    QList<int> order;
};

// A view showing in-memory data: a path is set so the paint draws, but no folder, so it never
// re-reads a file.
inline void ShowData(CDrawView& view, FrameState& frame, const std::vector<TestSample>& samples, int step = 25)
{
    view.SetFrame(&frame);
    view.File().Choose(QStringLiteral("/data/P00.cdd"), QString());
    FillData(view.File().ScreenData().primary, samples, step);
    // As if read from that file.
    view.File().ScreenData().sourcePath = view.File().FilePath().toStdString();
}

inline void PaintRecorded(CDrawView& view, RecordingDevice& device)
{
    QPainter painter(&device);
    view.Paint(painter, device.size());
}

// A view showing samples with the given components, painted once on a recording device.
struct RecordedGraph {
    CDrawView view;
    FrameState frame;
    RecordingDevice device;

    explicit RecordedGraph(const std::vector<TestSample>& samples, const QString& letters = QStringLiteral("Z"),
                           QSize size = QSize(1280, 720), int step = 25)
        : device(size)
    {
        frame.SetShownLetters(letters);
        ShowData(view, frame, samples, step);
        PaintRecorded(view, device);
    }
};
