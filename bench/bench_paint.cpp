// The full graph paint (three bands, 2048 samples, 1920 x 1080) against the floor of filling
// the same image once. The paint smooths, scans ranges and evaluates the top band's splines on
// every call, exactly as each screen repaint does. The same paint at pixel ratio 2 (3840 x 2160
// device pixels, a 4K screen at a scale factor of 2) is the case a high-resolution screen pays.
//
// A cursor move with the left button held: the erase and draw of the inverted line and the
// read-out, at ratio 1 and 2, and the blit of the whole backing image that a window repaint costs.
//
// With ORVEK_BENCH_PAINT_PNG set to a file name, the picture of one paint is written there
// first, so that a change to the paint can be checked to leave every pixel as it was.
#include "view/CDrawView.h"
#include "view/FrameState.h"

#include "analysis/Smoothing.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

void FillSynthetic(CFileData& d)
{
    const int n = kMaxSamples;
    d.m_nStep = 2;
    d.m_nCount = n;
    d.m_nSmoothedCount = n;
    for (int i = 0; i < n; ++i) {
        SampleRecord& r = d.m_raw[i];
        const double t = i / double(n);
        r.depth = static_cast<float>(40.94 - 0.02 * i);
        r.x = static_cast<int32_t>(30000 + 800 * std::sin(t * 40) + 50 * std::sin(t * 900));
        r.y = static_cast<int32_t>(-2000 + 600 * std::cos(t * 33) + 40 * std::sin(t * 700));
        r.z = static_cast<int32_t>(44000 + 1500 * std::sin(t * 25) + 60 * std::cos(t * 1100));
        d.m_smoothed[i].depth = r.depth;
    }
    RebuildSmoothedTable(d, 1);
}

void BM_FillImage(benchmark::State& state)
{
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        image.fill(Qt::white);
        benchmark::DoNotOptimize(image.constBits());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_FillImage)->Unit(benchmark::kMillisecond);

// A view showing all three components of the synthetic file.
struct PaintSetup {
    FrameState frame;
    std::unique_ptr<CDrawView> view = std::make_unique<CDrawView>();

    PaintSetup()
    {
        frame.SetShownLetters(QStringLiteral("XYZ"));
        view->SetFrame(&frame);
        view->File().Choose(QStringLiteral("/bench/synthetic.cdd"), QString());  // no folder: never re-read
        FillSynthetic(view->File().ScreenData().primary);
    }
};

// The pixel ratio of a case, given in hundredths.
qreal RatioOf(const benchmark::State& state)
{
    return static_cast<qreal>(state.range(0)) / 100.0;
}

QImage ImageAt(qreal ratio)
{
    QImage image(QSize(kWidth, kHeight) * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    return image;
}

void BM_GraphPaint(benchmark::State& state)
{
    PaintSetup setup;
    CDrawView* view = setup.view.get();
    QImage image = ImageAt(RatioOf(state));
    for (auto _ : state) {
        view->PaintInto(image);
        benchmark::DoNotOptimize(image.constBits());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_GraphPaint)->Arg(100)->Arg(200)->Unit(benchmark::kMillisecond);

// The view with its backing image painted at a ratio, as after a paint event on such a screen.
class BackedView : public CDrawView {
public:
    void PaintBacking(qreal ratio)
    {
        m_backing = ImageAt(ratio);
        m_markerLayer.ImageErased();
        PaintInto(m_backing);
        m_bBackingStale = false;
    }
    void DragTo(int x) { m_markerLayer.OnMouseMove(x); }
};

void BM_CursorMove(benchmark::State& state)
{
    FrameState frame;
    frame.SetShownLetters(QStringLiteral("XYZ"));
    BackedView view;
    view.SetFrame(&frame);
    view.File().Choose(QStringLiteral("/bench/synthetic.cdd"), QString());
    FillSynthetic(view.File().ScreenData().primary);
    view.PaintBacking(RatioOf(state));
    int x = 100;
    for (auto _ : state) {
        view.DragTo(x);
        x = x < kWidth - 100 ? x + 7 : 100;
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_CursorMove)->Arg(100)->Arg(200)->Unit(benchmark::kMicrosecond);

void BM_BlitBacking(benchmark::State& state)
{
    const QImage backing = ImageAt(RatioOf(state));
    QImage window = ImageAt(RatioOf(state));
    for (auto _ : state) {
        QPainter painter(&window);
        painter.drawImage(0, 0, backing);
        painter.end();
        benchmark::DoNotOptimize(window.constBits());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_BlitBacking)->Arg(100)->Arg(200)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    int qtArgc = 1;
    char name[] = "bench_paint";
    char* qtArgv[] = {name, nullptr};
    QApplication app(qtArgc, qtArgv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    const QString picture = qEnvironmentVariable("ORVEK_BENCH_PAINT_PNG");
    if (!picture.isEmpty()) {
        PaintSetup setup;
        QImage image(kWidth, kHeight, QImage::Format_RGB32);
        setup.view->PaintInto(image);
        if (!image.save(picture, "PNG"))
            return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
