#include "view/CDrawView.h"

#include "view/IFrameState.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QShowEvent>
#include <QWindow>

#include <memory>

CDrawView::CDrawView(QWidget* parent, DisplayedFile* file) : QWidget(parent), CDrawCanvas(file)
{
    // The backing image covers every pixel; letting Qt erase first would only flicker.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

CDrawView::~CDrawView() = default;

void CDrawView::Invalidate()
{
    CDrawCanvas::Invalidate();
    update();
}

QImage CDrawView::NewBacking() const
{
    const qreal ratio = devicePixelRatioF();
    QImage image(size() * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    return image;
}

void CDrawView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // On another screen the scale factor, and with it the device pixels under the view, may differ.
    QWindow* handle = window()->windowHandle();
    if (handle && handle != m_pScreenWindow) {
        if (m_pScreenWindow)
            disconnect(m_pScreenWindow, nullptr, this, nullptr);
        m_pScreenWindow = handle;
        connect(handle, &QWindow::screenChanged, this, [this] { Invalidate(); });
    }
}

void CDrawView::paintEvent(QPaintEvent*)
{
    const QSize client = size();
    const QSize backingSize = m_backing.deviceIndependentSize().toSize();
    if (!m_backing.isNull() && m_backing.devicePixelRatio() != devicePixelRatioF())
        m_bBackingStale = true;
    if (m_bBackingStale) {
        // Markers and the cursor sit at pixel columns of the old size; they belong at their depths.
        const bool resized = !m_backing.isNull() && backingSize != client;
        if (resized && m_markerLayer.BeforeResize())
            RequestMarkerRedraw();
        m_backing = NewBacking();
        m_markerLayer.ImageErased();
        PaintInto(m_backing);
        if (resized)
            m_markerLayer.AfterResize();
        m_bBackingStale = false;
        // The lines that the records say are on screen, where the passes did not draw them.
        m_markerLayer.RestoreOverlay();
    } else if (backingSize != client) {
        // A size change without a request to repaint (table mode) uncovers blank area only.
        QImage grown = NewBacking();
        grown.fill(Qt::white);
        QPainter copy(&grown);
        copy.drawImage(0, 0, m_backing);
        copy.end();
        m_backing = grown;
    }
    QPainter screen(this);
    screen.drawImage(0, 0, m_backing);
    if (m_pFrame && m_pFrame->ViewMode() == cmd::kGraphMode)
        m_suggestion.Draw(screen, *this, m_pFrame->ShownComponents());
}

void CDrawView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // Qt also sends resize events that change nothing (pending ones, grabbing); only a new size
    // makes the picture out of date.
    if (event->size() == m_backing.deviceIndependentSize().toSize())
        return;
    if (m_pFrame && m_pFrame->ViewMode() == cmd::kTableMode)
        return;  // the table covers the view; it is resized by its owner
    Invalidate();
}

QMenu* CDrawView::CreateContextMenu()
{
    return m_markerLayer.CreateContextMenu(this);
}

void CDrawView::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() & Qt::LeftButton)
        m_markerLayer.OnMouseMove(event->position().toPoint().x());
    QWidget::mouseMoveEvent(event);
}

void CDrawView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        m_markerLayer.OnLeftButtonUp(event->position().toPoint().x());
    QWidget::mouseReleaseEvent(event);
}

void CDrawView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        // The commands act at the cursor, not where the menu was opened.
        std::unique_ptr<QMenu> menu(CreateContextMenu());
        menu->exec(event->globalPosition().toPoint());
    }
    QWidget::mousePressEvent(event);
}

QPoint CDrawView::KeyboardMenuPoint() const
{
    const int y = height() / 3;
    return m_markerLayer.CursorShown() ? QPoint(m_markerLayer.CursorX(), y) : QPoint(width() / 2, y);
}

void CDrawView::contextMenuEvent(QContextMenuEvent* event)
{
    // The right button opens the menu on its press; this is the context menu key.
    if (event->reason() != QContextMenuEvent::Keyboard)
        return;
    std::unique_ptr<QMenu> menu(CreateContextMenu());
    menu->exec(mapToGlobal(KeyboardMenuPoint()));
}

void CDrawView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier) {
        std::unique_ptr<QMenu> menu(CreateContextMenu());
        menu->exec(mapToGlobal(KeyboardMenuPoint()));
        return;
    }
    if (m_markerLayer.OnKeyDown(event->key()))
        QWidget::keyPressEvent(event);
}
