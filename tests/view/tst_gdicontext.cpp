// The drawing helpers must reproduce the device-context conventions the graph is defined in;
// pixel checks on real images, geometry through the recording device.
#include "support/RecordingDevice.h"
#include "view/GdiContext.h"

#include <QFontMetrics>
#include <QImage>
#include <QtTest>

#include <cstdlib>

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

// A picture with something under every pixel, so that a pixel set or left wrongly shows.
QImage BusyImage(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb((x * 7) % 256, (y * 11) % 256, ((x + y) * 5) % 256));
    return image;
}

// Wide-pen reference: the pen's disk set at every pixel of each segment's Bresenham line.
void StampDisks(QImage& image, const QPolygon& points, int width, QRgb color)
{
    const int lo = -width / 2;
    const int hi = (width - 1) / 2;
    const double centre = width % 2 == 0 ? -0.5 : 0.0;
    const auto stamp = [&](int x, int y) {
        for (int dy = lo; dy <= hi; ++dy)
            for (int dx = lo; dx <= hi; ++dx)
                if ((dx - centre) * (dx - centre) + (dy - centre) * (dy - centre) <= width * width / 4.0 + 1e-9 &&
                    image.rect().contains(x + dx, y + dy))
                    image.setPixel(x + dx, y + dy, color);
    };
    for (int i = 1; i < points.size(); ++i) {
        int x = points[i - 1].x();
        int y = points[i - 1].y();
        const int x1 = points[i].x();
        const int y1 = points[i].y();
        const int dx = std::abs(x1 - x);
        const int dy = -std::abs(y1 - y);
        int err = dx + dy;
        for (;;) {
            stamp(x, y);
            if (x == x1 && y == y1)
                break;
            const int e2 = 2 * err;
            if (e2 >= dy) {
                err += dy;
                x += x < x1 ? 1 : -1;
            }
            if (e2 <= dx) {
                err += dx;
                y += y < y1 ? 1 : -1;
            }
        }
    }
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

    void thinLinesOnImagesSetQPaintersPixels()
    {
        // Width-1 lines, frames and rectangles must come out exactly as QPainter draws them, dashes
        // and left-out end pixels included.
        const QPen pens[] = {gdi::SolidPen(1, Qt::black), gdi::DashPen(QColor(185, 237, 185))};
        for (const QPen& pen : pens) {
            for (int length : {1, 2, 17, 18, 19, 24, 25, 43, 90}) {
                for (const QLine& line : {QLine(5, 20, 5 + length, 20), QLine(110, 30, 110 - length, 30),
                                          QLine(40, 3, 40, 3 + length), QLine(60, 99, 60, 99 - length)}) {
                    QImage drawn = BusyImage(120, 100);
                    QImage expected = drawn.copy();
                    {
                        QPainter painter(&drawn);
                        GdiContext dc(painter);
                        dc.SelectPen(pen);
                        dc.MoveTo(line.x1(), line.y1());
                        dc.LineTo(line.x2(), line.y2());
                    }
                    {
                        QPainter painter(&expected);
                        painter.setPen(pen);
                        painter.drawLine(line);
                    }
                    QVERIFY2(drawn == expected, qPrintable(QStringLiteral("line %1,%2 - %3,%4 dashed %5")
                                                              .arg(line.x1()).arg(line.y1()).arg(line.x2())
                                                              .arg(line.y2()).arg(pen.style() != Qt::SolidLine)));
                }
            }
        }

        // The gradient panel frame (a closed polyline) and the value panel frame (Rectangle).
        QImage drawn = BusyImage(120, 100);
        QImage expected = drawn.copy();
        const QPolygon frame({QPoint(10, 60), QPoint(110, 60), QPoint(110, 90), QPoint(10, 90), QPoint(10, 60)});
        {
            QPainter painter(&drawn);
            GdiContext dc(painter);
            dc.MoveTo(frame[0].x(), frame[0].y());
            for (int i = 1; i < frame.size(); ++i)
                dc.LineTo(frame[i].x(), frame[i].y());
            dc.SelectHollowBrush();
            dc.Rectangle(10, 5, 110, 50);
        }
        {
            QPainter painter(&expected);
            painter.setPen(gdi::SolidPen(1, Qt::black));
            painter.drawPolyline(frame);
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(QRect(10, 5, 99, 44));
        }
        QCOMPARE(drawn, expected);
    }

    void widePensSetTheUnionOfTheDisksAlongTheSegments()
    {
        // Steep noise, flat stretches, reversals and points beyond the edges: the runs the
        // curves are stamped in must cover exactly the disks at every pixel of the lines.
        QPolygon curve;
        for (int i = 0; i < 160; ++i)
            curve << QPoint(-20 + i + (i % 7 == 0 ? 0 : i / 3), 50 + ((i * 37) % 41) * (i % 3 == 0 ? 3 : -1) / 2);
        curve << QPoint(100, 100) << QPoint(100, 100) << QPoint(30, 8) << QPoint(130, 8) << QPoint(125, 9);
        for (int width : {2, 3, 6, 9}) {
            QImage drawn = BusyImage(150, 110);
            QImage expected = drawn.copy();
            {
                QPainter painter(&drawn);
                GdiContext dc(painter);
                dc.SelectPen(gdi::SolidPen(width, QColor(130, 200, 250)));
                dc.Polyline(curve);
            }
            StampDisks(expected, curve, width, qRgb(130, 200, 250));
            QVERIFY2(drawn == expected, qPrintable(QStringLiteral("width %1").arg(width)));
        }
    }

    void textCellsMatchQPainter()
    {
        // The picture must be that of filling the text's cell and drawing the text, also when a
        // text is drawn again or clipped, and for an italic text reaching out of its cell.
        QFont italic = gdi::PointFont(150);
        italic.setItalic(true);
        struct Item {
            QFont font;
            QString text;
            QPoint topLeft;
            QRect clip;  // null: TextOut
        };
        const QFont font = gdi::PointFont(120);
        const Item items[] = {
            {font, QStringLiteral("垂直分量(nT)"), QPoint(130, 5), QRect()},
            {font, QStringLiteral("-1200"), QPoint(10, 30), QRect()},
            {font, QStringLiteral("-1200"), QPoint(60, 50), QRect()},
            {font, QStringLiteral("梯度(nT/m)"), QPoint(150, 60), QRect(150, 60, 40, 100)},
            {font, QStringLiteral("40.94"), QPoint(-8, 90), QRect()},
            {italic, QStringLiteral("fjf"), QPoint(20, 70), QRect()},
        };
        QImage drawn = BusyImage(200, 110);
        QImage expected = drawn.copy();
        {
            QPainter painter(&drawn);
            GdiContext dc(painter);
            for (const Item& item : items) {
                dc.SelectFont(item.font);
                if (item.clip.isNull())
                    dc.TextOut(item.topLeft.x(), item.topLeft.y(), item.text);
                else
                    dc.DrawText(item.clip, item.text);
            }
        }
        {
            QPainter painter(&expected);
            painter.setPen(Qt::black);
            for (const Item& item : items) {
                painter.setFont(item.font);
                const QFontMetrics metrics(item.font, &expected);
                painter.save();
                if (!item.clip.isNull())
                    painter.setClipRect(item.clip);
                painter.fillRect(QRect(item.topLeft, QSize(metrics.horizontalAdvance(item.text), metrics.height())),
                                 Qt::white);
                painter.drawText(QPointF(item.topLeft.x(), item.topLeft.y() + metrics.ascent()), item.text);
                painter.restore();
            }
        }
        QCOMPARE(drawn, expected);
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
