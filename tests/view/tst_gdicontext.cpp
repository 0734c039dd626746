// The drawing helpers must reproduce the device-context conventions the graph is defined in;
// pixel checks on real images, geometry through the recording device.
#include "support/RecordingDevice.h"
#include "view/GdiContext.h"

#include <QFontMetrics>
#include <QImage>
#include <QtTest>

namespace {

QImage WhiteImage(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

bool IsBlack(const QImage& image, int x, int y)
{
    return image.pixel(x, y) == qRgb(0, 0, 0);
}

}  // namespace

class TestGdiContext : public QObject {
    Q_OBJECT
private slots:
    void rectangleLeavesRightAndBottomEdgeOut()
    {
        QImage image = WhiteImage(20, 20);
        {
            QPainter painter(&image);
            GdiContext dc(painter);
            dc.SelectHollowBrush();
            dc.Rectangle(2, 3, 8, 10);
        }
        QVERIFY(IsBlack(image, 2, 3));
        QVERIFY(IsBlack(image, 7, 3));
        QVERIFY(IsBlack(image, 7, 9));
        QVERIFY(IsBlack(image, 2, 9));
        QVERIFY(!IsBlack(image, 8, 3));
        QVERIFY(!IsBlack(image, 2, 10));
        QVERIFY(!IsBlack(image, 5, 6));  // hollow
    }

    void lineToStopsBeforeItsEndPoint()
    {
        QImage image = WhiteImage(20, 5);
        {
            QPainter painter(&image);
            GdiContext dc(painter);
            dc.MoveTo(2, 2);
            dc.LineTo(9, 2);
        }
        QVERIFY(IsBlack(image, 2, 2));
        QVERIFY(IsBlack(image, 8, 2));
        QVERIFY(!IsBlack(image, 9, 2));
        QVERIFY(!IsBlack(image, 2, 1));  // width 1
    }

    void textIsPlacedByItsTopLeftCorner()
    {
        RecordingDevice device(QSize(200, 100));
        QFont font = gdi::PointFont(120);
        {
            QPainter painter(&device);
            GdiContext dc(painter);
            dc.SelectFont(font);
            dc.SetOpaqueBackground(false);
            dc.TextOut(17, 23, QStringLiteral("12.00"));
            dc.DrawText(QRect(100, 40, 50, 30), QStringLiteral("梯度(nT/m)"));
        }
        const RecordedItem* text = device.FindText(QStringLiteral("12.00"));
        QVERIFY(text);
        QCOMPARE(text->textTopLeft.toPoint(), QPoint(17, 23));
        QCOMPARE(text->pen.color(), QColor(Qt::black));
        const RecordedItem* title = device.FindText(QStringLiteral("梯度(nT/m)"));
        QVERIFY(title);
        QCOMPARE(title->textTopLeft.toPoint(), QPoint(100, 40));
        QVERIFY(title->clipped);
    }

    void pointFontsAreConvertedAt96DpiOnEveryDevice()
    {
        QCOMPARE(gdi::PointFont(120).pixelSize(), 16);
        QCOMPARE(gdi::PointFont(150).pixelSize(), 20);
        QCOMPARE(gdi::PointFont(380).pixelSize(), 51);
        QCOMPARE(gdi::PointFont(1).pixelSize(), 1);
        QCOMPARE(gdi::PointFont(120).family(), QStringLiteral("宋体"));

        // A 600 dpi page measures the same pixel height as a 96 dpi screen.
        QImage screen(10, 10, QImage::Format_RGB32);
        QImage page(10, 10, QImage::Format_RGB32);
        page.setDotsPerMeterX(23622);
        page.setDotsPerMeterY(23622);
        const QFont font = gdi::PointFont(120);
        QCOMPARE(QFontMetrics(font, &page).height(), QFontMetrics(font, &screen).height());
    }

    void widePensOnImagesMatchTheStroker()
    {
        // The curves are stamped straight into the image; they must cover what QPainter's own
        // stroke of the same pen covers, give or take one pixel at the edges.
        QPolygon zigzag;
        for (int i = 0; i < 200; ++i)
            zigzag << QPoint(5 + i * 2, 60 + ((i * 37) % 23) - 11 + (i % 2 ? 9 : -9));
        for (int width : {3, 6}) {
            QImage stamped = WhiteImage(420, 130);
            QImage stroked = WhiteImage(420, 130);
            const QPen pen = gdi::SolidPen(width, QColor(255, 0, 0));
            {
                QPainter painter(&stamped);
                GdiContext dc(painter);
                dc.SelectPen(pen);
                dc.MoveTo(zigzag[0].x(), zigzag[0].y());
                for (int i = 1; i < zigzag.size(); ++i)
                    dc.LineTo(zigzag[i].x(), zigzag[i].y());
            }
            {
                QPainter painter(&stroked);
                painter.setPen(pen);
                painter.drawPolyline(zigzag);
            }
            const auto red = [](const QImage& im, int x, int y) {
                return x >= 0 && y >= 0 && x < im.width() && y < im.height() && im.pixel(x, y) == qRgb(255, 0, 0);
            };
            const auto near = [&](const QImage& im, int x, int y) {
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx)
                        if (red(im, x + dx, y + dy))
                            return true;
                return false;
            };
            int painted = 0;
            for (int y = 0; y < 130; ++y)
                for (int x = 0; x < 420; ++x) {
                    if (red(stroked, x, y)) {
                        ++painted;
                        QVERIFY(near(stamped, x, y));
                    }
                    if (red(stamped, x, y))
                        QVERIFY(near(stroked, x, y));
                }
            QVERIFY(painted > 1000);
        }

        // A horizontal stretch of a width-3 curve is three rows thick.
        QImage image = WhiteImage(40, 20);
        {
            QPainter painter(&image);
            GdiContext dc(painter);
            dc.SelectPen(gdi::SolidPen(3, QColor(255, 0, 0)));
            dc.MoveTo(5, 10);
            dc.LineTo(30, 10);
            dc.LineTo(30, 11);
        }
        for (int y = 7; y <= 13; ++y)
            QCOMPARE(image.pixel(15, y) == qRgb(255, 0, 0), y >= 9 && y <= 11);
    }

    void invertModeErasesALineDrawnTwice()
    {
        QImage image = WhiteImage(30, 30);
        image.setPixel(5, 10, qRgb(255, 0, 0));
        const QImage before = image.copy();
        {
            QPainter painter(&image);
            GdiContext dc(painter);
            dc.SelectPen(gdi::SolidPen(2, QColor(0, 0, 255)));
            dc.SetInvertMode(true);
            dc.MoveTo(5, 5);
            dc.LineTo(5, 25);
            dc.MoveTo(0, 0);  // draws the first line before the second
            dc.MoveTo(5, 5);
            dc.LineTo(5, 25);
        }
        QCOMPARE(image, before);
    }

    void eachContextStartsFromTheDefaultsAndRestoresThePainter()
    {
        QImage image = WhiteImage(10, 10);
        QPainter painter(&image);
        painter.setPen(QPen(Qt::green, 7));
        {
            GdiContext outer(painter);
            outer.SelectPen(gdi::SolidPen(3, Qt::red));
            outer.SelectFont(gdi::PointFont(200));
            {
                GdiContext inner(painter);
                QCOMPARE(painter.pen().color(), QColor(Qt::black));
                QCOMPARE(painter.font().pixelSize(), gdi::DefaultFont().pixelSize());
            }
            QCOMPARE(painter.pen().color(), QColor(Qt::red));
            GdiContext inherit(painter, GdiContext::Start::Inherit);
            QCOMPARE(inherit.CurrentFont().pixelSize(), gdi::PointFont(200).pixelSize());
        }
        QCOMPARE(painter.pen().color(), QColor(Qt::green));
    }
};

QTEST_MAIN(TestGdiContext)
#include "tst_gdicontext.moc"
