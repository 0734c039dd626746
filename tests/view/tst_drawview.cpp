// Geometry of the graph paint, checked through the recording device: where the grid, labels,
// frames, curves and the depth axis land, which samples each curve visits, what the status bar
// receives, and how the paint honours the request flags.
#include "GraphTestData.h"

#include "analysis/BandScale.h"
#include "analysis/Scales.h"
#include "data/TextCodec.h"
#include "view/GdiContext.h"
#include "view/GraphPaint.h"
#include "view/ITableDisplay.h"

#include <QFontMetrics>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

const QColor kRed(255, 0, 0);
const QColor kBlue(130, 200, 250);
const QColor kGrid(185, 237, 185);

QVector<RecordedItem> GridLines(const RecordingDevice& device)
{
    QVector<RecordedItem> out;
    for (const RecordedItem& item : device.Lines())
        if (item.pen.color() == kGrid)
            out.append(item);
    return out;
}

int DefaultTextHeight(QPaintDevice* device)
{
    return QFontMetrics(gdi::DefaultFont(), device).height();
}

class CountingTable : public ITableDisplay {
public:
    void Fill() override { ++fills; }
    int fills = 0;
};

}  // namespace

class TestDrawView : public QObject {
    Q_OBJECT
private slots:
    void oneBandGridFramesAndLabels()
    {
        RecordedGraph g(StandardSamples());

        QCOMPARE(g.view.UnitHeight(), 226);
        QCOMPARE(g.view.ValueHeight(), 452);

        const auto grid = GridLines(g.device);
        for (int i = 1; i <= 4; ++i) {
            const int y = 5 + i * 90;
            QVERIFY2(HasLine(grid, {10, y}, {1270, y}), qPrintable(QString("grid line %1").arg(i)));
            const int x = i * 252 + 10;
            QVERIFY(HasLine(grid, {x, 5}, {x, 457}));
            QVERIFY(HasLine(grid, {x, 462}, {x, 688}));
        }
        // The gradient panel has no horizontal grid lines: only the four lines above and the
        // zero line run across.
        int across = 0;
        for (const RecordedItem& l : grid)
            across += l.P(0).x() == 10 && l.P(1).x() == 1270;
        QCOMPARE(across, 5);
        QVERIFY(grid[0].pen.style() == Qt::CustomDashLine);

        // -120 .. 880 gives the range -220 .. 980; slot 1 cuts the labels to hundreds.
        const int tm = DefaultTextHeight(&g.device);
        const RecordedItem* upper = g.device.FindText(QStringLiteral("700"));
        QVERIFY(upper);
        QCOMPARE(upper->textTopLeft.toPoint(), QPoint(10, 95 - tm - 3));
        const auto zeros = g.device.TextsEqual(QStringLiteral("0"));
        QCOMPARE(zeros.size(), 2);  // lower value label and the gradient zero label
        QCOMPARE(zeros[0].textTopLeft.toPoint(), QPoint(10, 365 - tm - 3));

        bool valueFrame = false;
        for (const RecordedItem& r : g.device.Rects())
            if (r.pen.style() != Qt::NoPen && r.GdiRect() == QRect(QPoint(10, 5), QPoint(1270, 457))) {
                valueFrame = true;
                QCOMPARE(r.brush.style(), Qt::NoBrush);
                QCOMPARE(r.pen.color(), QColor(Qt::black));
            }
        QVERIFY(valueFrame);
        bool gradientFrame = false;
        for (const RecordedItem& p : g.device.Polylines())
            if (p.IntPoints() == QVector<QPoint>{{10, 462}, {1270, 462}, {1270, 688}, {10, 688}, {10, 462}})
                gradientFrame = true;
        QVERIFY(gradientFrame);

        QCOMPARE(g.device.FindText(QStringLiteral("垂直分量(nT)"))->textTopLeft.toPoint(), QPoint(1080, 5));
        QCOMPARE(g.device.FindText(QStringLiteral("梯度(nT/m)"))->textTopLeft.toPoint(), QPoint(1080, 467));
        QVERIFY(!g.device.FindText(QStringLiteral("水平分量X(nT)")));

        // The zero line and its label sit where the gradient scale puts gradient 0.
        const int y0 = BandScale::ForScreen(g.view.File().ScreenData().primary, 3, 1280, 5, 226).ZeroY();
        QVERIFY(y0 > 462 && y0 < 688);
        QVERIFY(HasLine(grid, {10, y0}, {1270, y0}));
        QCOMPARE(zeros[1].textTopLeft.toPoint(), QPoint(10, y0 - tm - 3));
    }

    void depthAxisLabelsAndTicks()
    {
        RecordedGraph g(StandardSamples());

        const QStringList labels{"0.00", "3.00", "6.00", "9.00", "12.00", "15.00"};
        const QList<int> xs{10, 242, 494, 746, 998, 1240};
        for (int i = 0; i < 6; ++i) {
            const RecordedItem* t = g.device.FindText(labels[i]);
            QVERIFY2(t, qPrintable(labels[i]));
            QCOMPARE(t->textTopLeft.toPoint(), QPoint(xs[i], 690));
            QCOMPARE(t->font.pixelSize(), 16);  // the paint's 12-point font
        }
        QVector<RecordedItem> ticks;
        for (const RecordedItem& l : g.device.Lines())
            if (l.pen.color() == QColor(Qt::black) && l.P(0).y() == 690)
                ticks.append(l);
        QCOMPARE(ticks.size(), 4 + 50);
        for (int i = 1; i <= 4; ++i)
            QVERIFY(HasLine(ticks, {i * 252 + 10, 690}, {i * 252 + 10, 676}));
        for (int j = 0; j < 50; ++j) {
            const int x = (j * 1260) / 50 + 10;
            QVERIFY(HasLine(ticks, {x, 690}, {x, 684}));
        }
        QVERIFY(!HasLine(ticks, {1270, 690}, {1270, 684}));
    }

    void eachSlotVisitsItsOwnSamples()
    {
        const auto samples = StandardSamples();
        RecordedGraph g(samples, QStringLiteral("XYZ"));

        const int G = (720 - 60) / 9;
        QCOMPARE(g.view.UnitHeight(), G);
        const CFileData& d = g.view.File().ScreenData().primary;
        const int N = static_cast<int>(samples.size());
        const auto red = g.device.WithPenColor(kRed);
        const auto blue = g.device.WithPenColor(kBlue);
        QCOMPARE(red.size(), 3);
        QCOMPARE(blue.size(), 3);
        for (const RecordedItem& c : red + blue) {
            QCOMPARE(c.pen.width(), 3);
            QCOMPARE(c.kind, RecordedItem::Polyline);
        }

        // Slot 1 (X): one spline point per column from the shallowest to the deepest sample.
        const BandScale sx = BandScale::ForScreen(d, 1, 1280, BandTop(1, G), G);
        const int a = sx.X(d.m_smoothed[N - 1].depth);
        const int b = sx.X(d.m_smoothed[0].depth);
        QCOMPARE(red[0].points.size(), b - a + 1);
        QCOMPARE(red[0].P(0).x(), a);
        QCOMPARE(red[0].P(b - a).x(), b);
        // Its gradient spline starts at the second-shallowest sample and runs L - 1 columns on.
        const int a2 = sx.X(d.m_raw[N - 2].depth);
        const int L = sx.X(d.m_raw[1].depth) - sx.X(d.m_raw[N - 1].depth);
        QCOMPARE(blue[0].P(0).x(), a2);
        QCOMPARE(blue[0].points.size(), L);
        QCOMPARE(blue[0].points.last().toPoint().x(), a2 + L - 1);

        // Slot 2 (Y): every sample from the deepest; the deepest gradient point borrows sample 1's.
        const BandScale sy = BandScale::ForScreen(d, 2, 1280, BandTop(2, G), G);
        QCOMPARE(red[1].points.size(), N);
        QCOMPARE(red[1].P(0), QPoint(sy.X(d.m_smoothed[0].depth), sy.ValueY(d.m_smoothed[0].y)));
        QCOMPARE(red[1].P(N - 1), QPoint(sy.X(d.m_smoothed[N - 1].depth), sy.ValueY(d.m_smoothed[N - 1].y)));
        QCOMPARE(blue[1].points.size(), N);
        QCOMPARE(blue[1].P(0), QPoint(sy.X(d.m_raw[0].depth), sy.GradientY(Gradient(d, 1, 2))));
        QCOMPARE(blue[1].P(1), QPoint(sy.X(d.m_raw[1].depth), sy.GradientY(Gradient(d, 1, 2))));

        // Slot 3 (Z): the deepest sample is left out of both curves.
        const BandScale sz = BandScale::ForScreen(d, 3, 1280, BandTop(3, G), G);
        QCOMPARE(red[2].points.size(), N - 1);
        QCOMPARE(red[2].P(0), QPoint(sz.X(d.m_smoothed[1].depth), sz.ValueY(d.m_smoothed[1].z)));
        QCOMPARE(blue[2].points.size(), N - 1);
        QCOMPARE(blue[2].P(0), QPoint(sz.X(d.m_raw[1].depth), sz.GradientY(Gradient(d, 1, 3))));

        // Titles in slot order; "0" gradient labels in slots 1 and 2 only.
        QCOMPARE(g.device.FindText(QStringLiteral("水平分量X(nT)"))->textTopLeft.toPoint(), QPoint(1080, BandTop(1, G)));
        QCOMPARE(g.device.FindText(QStringLiteral("水平分量Y(nT)"))->textTopLeft.toPoint(), QPoint(1080, BandTop(2, G)));
        QCOMPARE(g.device.FindText(QStringLiteral("垂直分量(nT)"))->textTopLeft.toPoint(), QPoint(1080, BandTop(3, G)));
        const int tm = DefaultTextHeight(&g.device);
        int gradientZeros = 0;
        for (const RecordedItem& t : g.device.TextsEqual(QStringLiteral("0")))
            for (int s : {1, 2, 3}) {
                const BandScale sc = BandScale::ForScreen(d, s, 1280, BandTop(s, G), G);
                if (t.textTopLeft.toPoint() == QPoint(10, sc.ZeroY() - tm - 3)) {
                    QVERIFY(s != 3);
                    ++gradientZeros;
                }
            }
        QCOMPARE(gradientZeros, 2);
    }

    void middleSlotKeepsTensAndUnits()
    {
        RecordedGraph g(StandardSamples(), QStringLiteral("XZ"));
        // Z is the second band of two: -220 .. 980 labels 740 and 20 as they are.
        QVERIFY(g.device.FindText(QStringLiteral("740")));
        QVERIFY(g.device.FindText(QStringLiteral("20")));
        QCOMPARE(g.device.WithPenColor(kRed)[1].points.size(), 42);
    }

    void statusPanesGetTheHeaderValues()
    {
        CDrawView view;
        FrameState frame;
        StatusRecorder panes;
        view.SetStatusPanes(&panes);
        ShowData(view, frame, StandardSamples());
        CFileData& d = view.File().ScreenData().primary;
        // Held as a load holds them: the instrument's code page 936 bytes, widened.
        d.m_strProject = u"GS-2024";
        d.m_strSite = WidenBytes(*Utf16ToCp936(u"滨江"));
        d.m_strPileNo = WidenBytes(*Utf16ToCp936(u"桩P02"));
        d.m_fStartDepth = 12.3f;
        d.m_nReportFlag = 0;
        RecordingDevice device(QSize(800, 600));
        PaintRecorded(view, device);

        QCOMPARE(panes.order, (QList<int>{59148, 59142, 59143, 59144, 59145, 59146, 59147, 59150}));
        QCOMPARE(panes.texts[59148], QStringLiteral("当前选中文件：/data/P00.cdd"));
        QCOMPARE(panes.texts[59142], QStringLiteral("项目;GS-2024"));
        QCOMPARE(panes.texts[59143], QStringLiteral("工地;滨江"));
        QCOMPARE(panes.texts[59144], QStringLiteral("桩号;桩P02"));
        QCOMPARE(panes.texts[59145], QStringLiteral("起点深度;12.30 m"));
        QCOMPARE(panes.texts[59146], QStringLiteral("测点总数;42"));
        QVERIFY(panes.texts[59147].startsWith(QStringLiteral("时间;")));
        QCOMPARE(panes.texts[59150], QStringLiteral("步距;25cm"));
        QVERIFY(!panes.widths.contains(59148));
        const QFontMetrics metrics(gdi::PointFont(120), &device);
        QCOMPARE(panes.widths[59146], metrics.horizontalAdvance(QStringLiteral("测点总数;42")));

        // Saved report values take the place of the acquisition texts.
        d.m_nReportFlag = 1;
        d.m_strReportProject = u"钢筋笼长度检测";
        d.m_strReportSite = u"三标段";
        PaintRecorded(view, device);
        QCOMPARE(panes.texts[59142], QStringLiteral("项目;钢筋笼长度检测"));
        QCOMPARE(panes.texts[59143], QStringLiteral("工地;三标段"));
    }

    void nothingIsDrawnWithoutComponentsOrFile()
    {
        CDrawView view;
        FrameState frame;
        StatusRecorder panes;
        view.SetStatusPanes(&panes);
        ShowData(view, frame, StandardSamples());
        RecordingDevice shown(QSize(800, 600));
        PaintRecorded(view, shown);
        const int unitHeight = view.UnitHeight();
        QVERIFY(unitHeight > 0);
        panes.order.clear();
        frame.SetShownLetters(QString());
        view.RequestRelayout();
        RecordingDevice device(QSize(800, 600));
        PaintRecorded(view, device);
        QVERIFY(device.Items().isEmpty());
        QCOMPARE(view.UnitHeight(), unitHeight);
        QCOMPARE(panes.order, QList<int>{59148});
        QVERIFY(view.PendingRequests().redrawMarkers);  // the paint stopped before the marker passes

        frame.SetShownLetters(QStringLiteral("Z"));
        view.File().Choose(QString(), QString());
        panes.order.clear();
        PaintRecorded(view, device);
        QVERIFY(device.Items().isEmpty());
        QCOMPARE(panes.texts[59148], QStringLiteral("当前选中文件："));

        // Without a main frame nothing happens at all.
        CDrawView orphan;
        FillData(orphan.File().ScreenData().primary, StandardSamples());
        orphan.File().Choose(QStringLiteral("/data/P00.cdd"), QString());
        PaintRecorded(orphan, device);
        QVERIFY(device.Items().isEmpty());
    }

    void degenerateDataSkipsOnlyWhatHasNoScale()
    {
        // All Z values equal: no value curve and no value labels; the gradient is all 0 as well.
        {
            auto samples = StandardSamples();
            for (auto& s : samples)
                s.z = 500;
            RecordedGraph g(samples);
            QVERIFY(g.device.WithPenColor(kRed).isEmpty());
            QVERIFY(g.device.WithPenColor(kBlue).isEmpty());
            QVERIFY(g.device.TextsEqual(QStringLiteral("0")).isEmpty());
            QCOMPARE(GridLines(g.device).size(), 12);  // grid only, no zero line
            QVERIFY(g.device.FindText(QStringLiteral("垂直分量(nT)")));
            QVERIFY(g.device.FindText(QStringLiteral("15.00")));
        }
        // A step of 0: values drawn, gradient curve and zero line skipped.
        {
            RecordedGraph g(StandardSamples(), QStringLiteral("XYZ"), QSize(1280, 720), 0);
            QCOMPARE(g.device.WithPenColor(kRed).size(), 3);
            QVERIFY(g.device.WithPenColor(kBlue).isEmpty());
        }
        // Too few samples for the splines of slot 1: 1 sample draws no curve, 3 samples draw
        // the value spline but not the gradient spline, 4 draw both.
        for (int count : {0, 1, 2, 3, 4}) {
            auto samples = StandardSamples();
            samples.resize(count);
            RecordedGraph g(samples, QStringLiteral("XYZ"));
            const auto red = g.device.WithPenColor(kRed);
            const auto blue = g.device.WithPenColor(kBlue);
            QVERIFY(g.device.FindText(QStringLiteral("水平分量X(nT)")));
            if (count == 4) {
                QCOMPARE(red.size(), 3);
                QCOMPARE(blue.size(), 3);
            }
            if (count < 2)
                QVERIFY(red.isEmpty());
            if (count == 3)
                QVERIFY(!red.isEmpty() && blue.size() == 2);  // slots 2 and 3 only
        }
    }

    void splineKnotsOnOneColumnStillDrawAnAscendingCurve()
    {
        // 2048 samples over 30 m in a narrow client: dozens of samples share each column.
        std::vector<TestSample> samples;
        for (int k = 0; k < 2048; ++k)
            samples.push_back({30.0f - 30.0f * k / 2047.0f, 100 + (k * 7) % 300, 0, 1000 + (k * 13) % 500});
        RecordedGraph g(samples, QStringLiteral("X"), QSize(200, 300), 1);
        const auto red = g.device.WithPenColor(kRed);
        QCOMPARE(red.size(), 1);
        const auto pts = red[0].IntPoints();
        for (int i = 1; i < pts.size(); ++i)
            QCOMPARE(pts[i].x(), pts[i - 1].x() + 1);
        for (const QPoint& p : pts)
            QVERIFY(qAbs(p.y()) < 100000);
    }

    void tinyClientAreaDrawsWhatFits()
    {
        for (QSize size : {QSize(40, 40), QSize(30, 30), QSize(5, 200), QSize(1, 1)}) {
            RecordedGraph g(StandardSamples(), QStringLiteral("XYZ"), size);
            QCOMPARE(g.view.UnitHeight(), (size.height() - 60) / 9);
            QImage image(size, QImage::Format_RGB32);
            g.view.PaintInto(image);
        }
    }

    void paintHonoursTheRequestFlags()
    {
        QTemporaryDir dir;
        const QString path = CopySample(dir.filePath(QStringLiteral("P04.cdd")), QStringLiteral("P04-45m.cdd"));
        CDrawView view;
        FrameState frame;
        view.SetFrame(&frame);
        view.File().Choose(path, dir.path());
        view.RequestReload(CDrawCanvas::Reload::Once);
        RecordingDevice device(QSize(1280, 720));
        PaintRecorded(view, device);
        QVERIFY(!view.PendingRequests().reloadOnce);
        QCOMPARE(view.File().ScreenData().primary.m_nCount, 181u);
        QVERIFY(view.LastLoadProblem().isEmpty());
        QVERIFY(QFile::exists(dir.filePath(QStringLiteral("zel.sysconfig"))));
        // The depth-to-pixel table was rebuilt for the client width: entry 0 is the shallowest.
        QCOMPARE(view.File().ScreenData().primary.m_depthPixels[0].x, 10);

        // Without a request the slot is left alone; with m_reloadFile every paint re-reads.
        view.File().ScreenData().primary.m_nCount = 5;
        PaintRecorded(view, device);
        QCOMPARE(view.File().ScreenData().primary.m_nCount, 5u);
        view.ShowFile(path, dir.path());
        PaintRecorded(view, device);
        QCOMPARE(view.File().ScreenData().primary.m_nCount, 181u);
        view.File().ScreenData().primary.m_nCount = 5;
        PaintRecorded(view, device);
        QCOMPARE(view.File().ScreenData().primary.m_nCount, 181u);
        QVERIFY(view.PendingRequests().reloadFile);

        // orvek-cli renders without leaving a configuration file behind.
        QVERIFY(QFile::remove(dir.filePath(QStringLiteral("zel.sysconfig"))));
        view.SetReadsConfiguration(false);
        PaintRecorded(view, device);
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("zel.sysconfig"))));

        // A file that cannot be read leaves its message for the caller; the paint goes on.
        view.File().Choose(dir.filePath(QStringLiteral("missing.cdd")), dir.path());
        PaintRecorded(view, device);
        QCOMPARE(view.LastLoadProblem(), QStringLiteral("无法读取文件"));
    }

    void markerPassesFollowTheFlags()
    {
        CDrawView view;
        FrameState frame;
        ShowData(view, frame, StandardSamples());
        RecordingDevice device(QSize(640, 480));

        // The frame regaining the focus: blocked until the first layout change.
        view.RequestReload(CDrawCanvas::Reload::EveryPaint);
        PaintRecorded(view, device);
        QVERIFY(view.PendingRequests().redrawMarkers);
        QVERIFY(view.PendingRequests().markerRedrawBlocked);

        view.RequestRelayout();
        QVERIFY(!view.PendingRequests().markerRedrawBlocked);
        PaintRecorded(view, device);
        QVERIFY(!view.PendingRequests().redrawMarkers);

        // While the stored markers are being restored the redraw request waits.
        view.RequestReload(CDrawCanvas::Reload::EveryPaint);
        view.File().ScreenData().markerCount = 11;
        PaintRecorded(view, device);
        QVERIFY(view.PendingRequests().redrawMarkers);
        view.RequestRepaint();
        PaintRecorded(view, device);
        QVERIFY(!view.PendingRequests().redrawMarkers);
    }

    void tableModeOnlyRefillsTheTable()
    {
        CDrawView view;
        FrameState frame;
        StatusRecorder panes;
        CountingTable table;
        view.SetStatusPanes(&panes);
        ShowData(view, frame, StandardSamples());
        frame.m_nViewMode = cmd::kTableMode;
        RecordingDevice device(QSize(640, 480));

        view.RequestTableRefill();
        PaintRecorded(view, device);
        QVERIFY(!view.PendingRequests().tableRefill);  // consumed even without a table

        view.SetTable(&table);
        view.RequestTableRefill();
        view.RequestRelayout();
        PaintRecorded(view, device);
        PaintRecorded(view, device);
        QCOMPARE(table.fills, 1);
        QVERIFY(!view.PendingRequests().redrawMarkers);  // the marker passes still run
        QVERIFY(device.Items().isEmpty());
        QVERIFY(panes.order.isEmpty());
    }

    void printedBandOnAPage()
    {
        FileSlot slot;
        FillData(slot.primary, StandardSamples());
        // A4 landscape at 600 dpi: the waveform page's curve rectangle.
        const int W = 7016, V = 4961;
        const PanelRect area{W / 20, V / 10, W - W / 20, V - V / 4};
        const int G = (area.bottom - area.top) / 3;
        RecordingDevice device(QSize(W, V));
        {
            QPainter painter(&device);
            QFont pageFont = gdi::PointFont(380);
            painter.setFont(pageFont);
            graph::DrawPrintedBand(painter, area, slot, G);
            QCOMPARE(painter.font().pixelSize(), pageFont.pixelSize());
        }
        const int L = area.left, T = area.top, R = area.right;
        const RecordedItem* title = device.FindText(QStringLiteral("垂直分量(nT)"));
        QVERIFY(title);
        QCOMPARE(title->textTopLeft.toPoint(), QPoint(R - (R - L) / 10, T + 10));
        QCOMPARE(title->font.pixelSize(), gdi::PointFont(380).pixelSize());
        QCOMPARE(device.FindText(QStringLiteral("梯度(nT/m)"))->textTopLeft.toPoint(),
                 QPoint(R - (R - L) / 10, T + 2 * G + 15));
        // Labels with their top-left corner on the grid line, hundreds cut.
        QCOMPARE(device.FindText(QStringLiteral("700"))->textTopLeft.toPoint(), QPoint(L, T + 2 * G / 5));
        const auto grid = GridLines(device);
        QVERIFY(HasLine(grid, {L, T + 2 * G / 5}, {R, T + 2 * G / 5}));
        QVERIFY(HasLine(grid, {L + (R - L) / 5, T}, {L + (R - L) / 5, T + 2 * G}));

        bool outline = false;
        for (const RecordedItem& p : device.Polylines())
            if (p.IntPoints() == QVector<QPoint>{{L, T + 2 * G + 5}, {R - 3, T + 2 * G + 5}, {R - 3, T + 3 * G + 5},
                                             {L, T + 3 * G + 5}, {L, T + 2 * G + 5}})
                outline = true;
        QVERIFY(outline);

        const auto curves = device.WithPenColor(Qt::black);
        int wide = 0;
        for (const RecordedItem& c : curves)
            if (c.pen.width() == 6) {
                ++wide;
                QCOMPARE(c.kind, RecordedItem::Polyline);
                QVERIFY(c.P(0).x() >= L && c.points.last().x() <= R);
            }
        QCOMPARE(wide, 2);

        const BandScale scale = BandScale::ForPage(slot.primary, 3, L, R, T, G);
        const int tm = QFontMetrics(gdi::PointFont(380), &device).height();
        const auto zeros = device.TextsEqual(QStringLiteral("0"));
        QCOMPARE(zeros.last().textTopLeft.toPoint(), QPoint(L, scale.ZeroY() - tm - 3));
        QVERIFY(HasLine(grid, {L, scale.ZeroY()}, {R, scale.ZeroY()}));
    }
};

QTEST_MAIN(TestDrawView)
#include "tst_drawview.moc"
