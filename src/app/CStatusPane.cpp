#include "app/CStatusPane.h"

#include <QPainter>

#include <algorithm>

CStatusPane::CStatusPane(const QString& text, QWidget* parent) : QLabel(text, parent)
{
    setTextFormat(Qt::PlainText);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

void CStatusPane::SetPaneText(const QString& text)
{
    setText(text);
    setToolTip(text.trimmed().isEmpty() ? QString() : text);
    updateGeometry();
}

void CStatusPane::SetPreferredTextWidth(int width)
{
    m_nPreferredWidth = std::max(0, width);
    updateGeometry();
}

QRect CStatusPane::TextRect() const
{
    const int m = margin();
    return contentsRect().adjusted(m, m, -m, -m);
}

QString CStatusPane::ShownText() const
{
    return fontMetrics().elidedText(text(), Qt::ElideRight, TextRect().width());
}

QSize CStatusPane::sizeHint() const
{
    QSize hint = QLabel::sizeHint();
    const int frame = width() - TextRect().width();
    hint.setWidth(std::max(hint.width(), m_nPreferredWidth + frame));
    return hint;
}

QSize CStatusPane::minimumSizeHint() const
{
    // Room for the ellipsis alone: narrower panes never push their neighbours off the bar.
    QSize hint = QLabel::minimumSizeHint();
    const int frame = width() - TextRect().width();
    hint.setWidth(fontMetrics().horizontalAdvance(QStringLiteral("…")) + frame);
    return hint;
}

void CStatusPane::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    drawFrame(&painter);
    painter.setPen(palette().color(foregroundRole()));
    painter.drawText(TextRect(), int(alignment()), ShownText());
}
