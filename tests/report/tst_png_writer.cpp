// The PNG files of rendered graphs: every pixel kept, whichever way the colours are stored.
#include "report/PngWriter.h"

#include "support/TestFiles.h"
#include "support/ViewProbes.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

QImage Decoded(const std::vector<unsigned char>& png)
{
    return QImage::fromData(png.data(), static_cast<int>(png.size()), "PNG").convertToFormat(QImage::Format_RGB32);
}

// The colour type byte of the IHDR chunk: 3 for a colour table, 2 for RGB.
int ColourType(const std::vector<unsigned char>& png)
{
    return png.size() > 25 ? png[25] : -1;
}

}  // namespace

class TestPngWriter : public QObject {
    Q_OBJECT
private slots:
    void graphKeepsEveryPixelWithAColourTable()
    {
        QTemporaryDir dir;
        const QString path = CopySample(dir.filePath(QStringLiteral("P05-60m.cdd")), QStringLiteral("P05-60m.cdd"));
        CDrawCanvas canvas;
        FrameState frame;
        frame.SetShownLetters(QStringLiteral("XYZ"));
        ShowFile(canvas, frame, path);
        canvas.SetReadsConfiguration(false);
        QImage graph(1280, 720, QImage::Format_RGB32);
        canvas.PaintInto(graph);

        const std::vector<unsigned char> png = EncodePng(graph);
        QCOMPARE(ColourType(png), 3);
        QCOMPARE(Decoded(png), graph);
    }

    void manyColoursFallBackToRgb()
    {
        QImage ramp(300, 7, QImage::Format_ARGB32);
        for (int y = 0; y < ramp.height(); ++y)
            for (int x = 0; x < ramp.width(); ++x)
                ramp.setPixel(x, y, qRgba(x % 256, x / 256 * 100 + y, 255 - x % 256, 10));
        const std::vector<unsigned char> png = EncodePng(ramp);
        QCOMPARE(ColourType(png), 2);
        // Alpha is dropped; the colours stay.
        QCOMPARE(Decoded(png), ramp.convertToFormat(QImage::Format_RGB32));
        QVERIFY(EncodePng(QImage()).empty());
    }
};

QTEST_MAIN(TestPngWriter)
#include "tst_png_writer.moc"
