#include "app/AppIcons.h"

#include <QPainter>
#include <QPainterPath>

namespace {

void Page(QPainter& p, const QColor& fill)
{
    QPainterPath page;
    page.moveTo(3, 1.5);
    page.lineTo(10, 1.5);
    page.lineTo(13, 4.5);
    page.lineTo(13, 14.5);
    page.lineTo(3, 14.5);
    page.closeSubpath();
    p.setPen(QPen(QColor(70, 80, 95), 0.8));
    p.setBrush(fill);
    p.drawPath(page);
    p.drawLine(QPointF(10, 1.5), QPointF(10, 4.5));
    p.drawLine(QPointF(10, 4.5), QPointF(13, 4.5));
}

// A field curve as the program draws it: a steady run that swings where the cage ends.
void Curve(QPainter& p, const QColor& colour, double left, double right, double mid)
{
    QPainterPath curve;
    const double w = right - left;
    curve.moveTo(left, mid);
    curve.cubicTo(left + w * 0.3, mid, left + w * 0.35, mid - 3, left + w * 0.5, mid - 3);
    curve.cubicTo(left + w * 0.65, mid - 3, left + w * 0.6, mid + 3, left + w * 0.8, mid + 2);
    curve.lineTo(right, mid + 2);
    p.setPen(QPen(colour, 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(curve);
}

void Folder(QPainter& p)
{
    QPainterPath back;
    back.moveTo(1.5, 3);
    back.lineTo(6, 3);
    back.lineTo(7.5, 4.5);
    back.lineTo(14.5, 4.5);
    back.lineTo(14.5, 13.5);
    back.lineTo(1.5, 13.5);
    back.closeSubpath();
    p.setPen(QPen(QColor(150, 110, 20), 0.8));
    p.setBrush(QColor(235, 185, 60));
    p.drawPath(back);
    p.setBrush(QColor(250, 210, 90));
    p.drawRect(QRectF(1.5, 6.5, 13, 7));
}

void Printer(QPainter& p)
{
    p.setPen(QPen(QColor(60, 60, 70), 0.8));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4.5, 1.5, 7, 5));
    p.setBrush(QColor(150, 155, 165));
    p.drawRoundedRect(QRectF(1.5, 6.5, 13, 6), 1.2, 1.2);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4.5, 10.5, 7, 4));
    p.setPen(QPen(QColor(40, 160, 60), 1.0));
    p.drawPoint(QPointF(12.5, 8.5));
}

void Magnifier(QPainter& p, double cx, double cy)
{
    p.setPen(QPen(QColor(40, 40, 50), 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(cx + 2.2, cy + 2.2), QPointF(cx + 4.5, cy + 4.5));
    p.setPen(QPen(QColor(40, 40, 50), 1.0));
    p.setBrush(QColor(200, 230, 255, 220));
    p.drawEllipse(QPointF(cx, cy), 3, 3);
}

void Paint(QPainter& p, IconId id)
{
    switch (id) {
    case IconId::App: {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(25, 55, 110));
        p.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 3, 3);
        // The rebar cage: longitudinal bars with stirrups, ending above the hole bottom.
        p.setPen(QPen(QColor(200, 205, 215), 0.8));
        for (double x : {3.5, 5.5, 7.5})
            p.drawLine(QPointF(x, 2.5), QPointF(x, 11));
        for (double y : {4.0, 6.5, 9.0})
            p.drawLine(QPointF(3, y), QPointF(8, y));
        QPainterPath field;
        field.moveTo(11, 2);
        field.cubicTo(11, 7, 11, 9, 13.5, 11);
        field.cubicTo(10, 12, 11.5, 13, 11.5, 14);
        p.setPen(QPen(QColor(255, 80, 70), 1.3, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawPath(field);
        break;
    }
    case IconId::Open:
        Folder(p);
        p.setPen(QPen(QColor(30, 110, 200), 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawLine(QPointF(8, 12), QPointF(8, 7.5));
        p.drawLine(QPointF(6, 9.5), QPointF(8, 7.5));
        p.drawLine(QPointF(10, 9.5), QPointF(8, 7.5));
        break;
    case IconId::Save:
        p.setPen(QPen(QColor(20, 50, 110), 0.8));
        p.setBrush(QColor(50, 100, 190));
        p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 1.2, 1.2);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4, 1.5, 8, 5));
        p.setBrush(QColor(210, 215, 225));
        p.drawRect(QRectF(4, 9, 8, 5.5));
        p.setPen(QPen(QColor(20, 50, 110), 1.2));
        p.drawLine(QPointF(9.5, 2.5), QPointF(9.5, 5.5));
        break;
    case IconId::PrintSetup:
        Page(p, Qt::white);
        p.setPen(QPen(QColor(120, 130, 140), 0.8));
        for (double y : {5.5, 7.5, 9.5})
            p.drawLine(QPointF(5, y), QPointF(11, y));
        // A pencil: the report values are typed in before printing.
        p.setPen(QPen(QColor(200, 120, 20), 2.0, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(QPointF(8, 14), QPointF(14.5, 7.5));
        p.setPen(QPen(QColor(60, 60, 60), 1.0));
        p.drawLine(QPointF(7.2, 14.8), QPointF(8, 14));
        break;
    case IconId::PrintPreview:
        Page(p, Qt::white);
        Curve(p, QColor(220, 30, 30), 4.5, 11.5, 7);
        Magnifier(p, 8.5, 9);
        break;
    case IconId::Print:
        Printer(p);
        Curve(p, QColor(220, 30, 30), 5, 11, 4.5);
        break;
    case IconId::About: {
        p.setPen(QPen(QColor(20, 70, 150), 0.8));
        p.setBrush(QColor(60, 130, 220));
        p.drawEllipse(QPointF(8, 8), 6.5, 6.5);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(8, 4.8), 1.1, 1.1);
        p.drawRoundedRect(QRectF(7, 7, 2, 5.5), 0.6, 0.6);
        break;
    }
    case IconId::TreeFile:
        Page(p, Qt::white);
        Curve(p, QColor(30, 90, 200), 4.5, 11.5, 9);
        break;
    case IconId::TreeFileSelected:
        Page(p, QColor(255, 250, 205));
        Curve(p, QColor(220, 30, 30), 4.5, 11.5, 9);
        break;
    case IconId::TreeFileMarked: {
        Page(p, QColor(255, 250, 205));
        Curve(p, QColor(220, 30, 30), 4.5, 11.5, 9);
        // The saved bottom marker: a blue line across the curve with its flag.
        p.setPen(QPen(QColor(0, 0, 230), 1.2));
        p.drawLine(QPointF(9.5, 3.5), QPointF(9.5, 13.5));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 230));
        QPainterPath flag;
        flag.moveTo(9.5, 3.5);
        flag.lineTo(13.5, 5);
        flag.lineTo(9.5, 6.5);
        flag.closeSubpath();
        p.drawPath(flag);
        break;
    }
    case IconId::TreeFolder:
        Folder(p);
        break;
    case IconId::Interpret:
        Curve(p, QColor(220, 30, 30), 1.5, 14.5, 8);
        p.setPen(QPen(QColor(0, 0, 230), 1.2, Qt::DashLine));
        p.drawLine(QPointF(9.5, 1.5), QPointF(9.5, 14.5));
        break;
    }
}

}  // namespace

QPixmap PaintIcon(IconId id, int nSize)
{
    QPixmap pixmap(nSize > 0 ? nSize : 16, nSize > 0 ? nSize : 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(pixmap.width() / 16.0, pixmap.height() / 16.0);
    Paint(p, id);
    return pixmap;
}

QIcon MakeIcon(IconId id)
{
    QIcon icon;
    for (int size : {16, 24, 32, 48})
        icon.addPixmap(PaintIcon(id, size));
    return icon;
}
