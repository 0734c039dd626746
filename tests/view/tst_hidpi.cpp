// The graph on a screen of scale factor 2: the backing image has the device's pixels, while the
// markers, the cursor and the grid keep their logical columns, each logical pixel covering two by
// two device pixels.
#include "GraphTestData.h"

#include "analysis/BandLayout.h"
#include "analysis/MarkerMath.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QWindow>
#include <QtTest>

#include <algorithm>

namespace {

constexpr int kWidth = 900;
constexpr int kHeight = 500;
const QRgb kBlue = qRgb(0, 0, 255);
// (185, 237, 185), without alpha: compared with pixels whose alpha is masked off.
constexpr QRgb kGrid = 0xB9EDB9;

// Columns of image holding at least minimum pixels of colour.
QList<int> ColumnsWith(const QImage& image, QRgb colour, int minimum)
{
    QList<int> out;
    for (int x = 0; x < image.width(); ++x)
        if (CountColor(image, colour, QRect(x, 0, 1, image.height())) >= minimum)
            out.append(x);
    return out;
}

// Columns in which two images of the same size differ.
QList<int> ChangedColumns(const QImage& a, const QImage& b)
{
    QList<int> out;
    for (int x = 0; x < a.width(); ++x)
        for (int y = 0; y < a.height(); ++y)
            if (a.pixel(x, y) != b.pixel(x, y)) {
                out.append(x);
                break;
            }
    return out;
}

// The device columns under the logical columns first..last at ratio 2, within one device pixel.
bool DoubledWithinOne(const QList<int>& logical, const QList<int>& device)
{
    if (logical.isEmpty() || device.isEmpty())
        return false;
    return std::abs(device.first() - 2 * logical.first()) <= 1 &&
           std::abs(device.last() - (2 * logical.last() + 1)) <= 1;
}

// A pixel part grid colour, part white: what a line between device pixels leaves beside it.
bool IsGridBlend(QRgb pixel)
{
    const auto between = [](int v, int line) { return v > line && v < 255; };
    return between(qRed(pixel), qRed(kGrid)) && between(qGreen(pixel), qGreen(kGrid)) &&
           between(qBlue(pixel), qBlue(kGrid));
}

// The grid, or a curve drawn over it.
bool GridOrCurve(QRgb pixel)
{
    const QRgb rgb = pixel & 0xFFFFFF;
    return rgb == kGrid || rgb == 0xFF0000 || rgb == 0x82C8FA;
}

struct Shown {
    QTemporaryDir dir;
    FrameState frame;
    StatusRecorder panes;
    CDrawView view;

    explicit Shown(const char* sample)
    {
        const QString path = CopySample(dir.filePath(QString::fromLatin1(sample)), QString::fromLatin1(sample));
        view.SetStatusPanes(&panes);
        view.SetReadsConfiguration(false);
        view.resize(kWidth, kHeight);
        ShowFile(view, frame, path);
        view.show();
    }
};

}  // namespace

class TestHiDpi : public QObject {
    Q_OBJECT
private slots:
    void markersAndCursorKeepTheirColumns()
    {
        QVERIFY(qFuzzyCompare(qApp->devicePixelRatio(), 2.0));
        Shown shown("P05-60m.cdd");
        QVERIFY(QTest::qWaitForWindowExposed(&shown.view));
        shown.view.repaint();
        const QImage fine = shown.view.BackingImage();
        QCOMPARE(fine.size(), QSize(2 * kWidth, 2 * kHeight));
        QVERIFY(shown.view.MarkerLayer().MarkerOnImage(kBottomMarker));

        // The same file painted at ratio 1, as a window on a plain screen shows it.
        CDrawCanvas canvas;
        FrameState frame;
        ShowFile(canvas, frame, shown.view.File().FilePath());
        canvas.SetReadsConfiguration(false);
        QImage plain(kWidth, kHeight, QImage::Format_RGB32);
        canvas.PaintInto(plain);
        const QList<int> bottom = ColumnsWith(plain, kBlue, 100);
        QVERIFY(!bottom.isEmpty());
        QVERIFY2(DoubledWithinOne(bottom, ColumnsWith(fine, kBlue, 200)), "bottom marker");

        // A click draws the one-pixel cursor over the two device columns of its logical column;
        // a second click erases it to the pixel.
        shown.view.RequestRepaint();
        shown.view.repaint();
        const QImage before = shown.view.BackingImage();
        QTest::mouseClick(&shown.view, Qt::LeftButton, Qt::NoModifier, QPoint(300, 200));
        const int x = shown.view.MarkerLayer().CursorX();
        QCOMPARE(ChangedColumns(before, shown.view.BackingImage()), QList<int>({2 * x, 2 * x + 1}));
        QTest::mouseClick(&shown.view, Qt::LeftButton, Qt::NoModifier, QPoint(600, 200));
        const QList<int> moved = ChangedColumns(before, shown.view.BackingImage());
        QVERIFY(!moved.contains(2 * x) && !moved.contains(2 * x + 1));
        QCOMPARE(moved.size(), 2);
    }

    // A grid line of one logical pixel covers two device rows (or columns) in its own colour, with
    // nothing half-covered beside it; the picture is painted at the finer pixels, not enlarged.
    void gridLinesAreTwoDevicePixelsWide()
    {
        QTemporaryDir dir;
        const QString path = CopySample(dir.filePath(QStringLiteral("P04-45m.cdd")), QStringLiteral("P04-45m.cdd"));
        QImage fine(2 * 1280, 2 * 720, QImage::Format_RGB32);
        fine.setDevicePixelRatio(2.0);
        QImage plain(1280, 720, QImage::Format_RGB32);
        for (QImage* image : {&fine, &plain}) {
            CDrawCanvas canvas;
            FrameState frame;
            ShowFile(canvas, frame, path);
            canvas.SetReadsConfiguration(false);
            canvas.PaintInto(*image);
        }
        const int G = UnitHeight(1, 720);
        const int y = GridLineY(BandTop(1, G), G, 1);
        const int x = GridLineX(1280, 2);
        int rowPixels = 0;
        int columnPixels = 0;
        for (int d = 20; d < 2 * 1270; ++d) {
            if ((fine.pixel(d, 2 * y) & 0xFFFFFF) == kGrid) {
                ++rowPixels;
                QVERIFY(GridOrCurve(fine.pixel(d, 2 * y + 1)));
                // Where a vertical grid line crosses, its pixels lie above and below.
                const bool crossing = (plain.pixel(d / 2, y - 1) & 0xFFFFFF) == kGrid;
                for (int beside : {2 * y - 1, 2 * y + 2}) {
                    QVERIFY(crossing || (fine.pixel(d, beside) & 0xFFFFFF) != kGrid);
                    QVERIFY(!IsGridBlend(fine.pixel(d, beside)));
                }
            }
        }
        for (int d = 10; d < 2 * (5 + 2 * G); ++d) {
            if ((fine.pixel(2 * x, d) & 0xFFFFFF) == kGrid) {
                ++columnPixels;
                QVERIFY(GridOrCurve(fine.pixel(2 * x + 1, d)));
                QVERIFY(!IsGridBlend(fine.pixel(2 * x - 1, d)) && !IsGridBlend(fine.pixel(2 * x + 2, d)));
            }
        }
        // Twice the pixels of the plain line: the dashes keep their logical lengths.
        const int plainRow = CountColor(plain, kGrid, QRect(10, y, 1260, 1));
        const int plainColumn = CountColor(plain, kGrid, QRect(x, 5, 1, 2 * G));
        QVERIFY(plainRow > 600);
        QVERIFY(std::abs(rowPixels - 2 * plainRow) <= 24);
        QVERIFY(std::abs(columnPixels - 2 * plainColumn) <= 24);
    }

    void aChangeOfScreenRepaints()
    {
        Shown shown("P04-45m.cdd");
        QVERIFY(QTest::qWaitForWindowExposed(&shown.view));
        shown.view.repaint();
        const auto paints = [&shown] { return shown.panes.order.count(59148); };
        const int before = paints();
        QWindow* window = shown.view.window()->windowHandle();
        QVERIFY(window);
        emit window->screenChanged(window->screen());
        QTRY_COMPARE(paints(), before + 1);
    }
};

int main(int argc, char** argv)
{
    // Every screen of this test has a scale factor of 2.
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    TestHiDpi test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_hidpi.moc"
