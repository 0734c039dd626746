#pragma once

#include "view/CDrawCanvas.h"
#include "view/SuggestionOverlay.h"
#include "view/ViewCommands.h"

#include <QPointer>
#include <QWidget>

class QKeyEvent;
class QMenu;
class QMouseEvent;
class QWindow;

// The graph view on screen: the canvas with a window. The paint runs into the backing image of
// the client size. Invalidate marks it stale and schedules a paint event, which runs the paint
// algorithm into it and blits it. Drawing between paints (cursor and markers, in inverting mode)
// goes into the backing image followed by update(), which only blits. The backing image has the
// window's device pixel ratio, so the graph is as sharp as the screen; every coordinate of the
// view (clicks, columns, markers) stays in the window's logical pixels.
class CDrawView : public QWidget, public CDrawCanvas {
    Q_OBJECT
public:
    // file: the file on display, owned by the caller; without one the view keeps its own.
    explicit CDrawView(QWidget* parent = nullptr, DisplayedFile* file = nullptr);
    ~CDrawView() override;

    // Marks the backing image stale and schedules a paint.
    void Invalidate() override;

    // The view's own commands: the marker kinds, "清    除" (32818), "平滑设置" (32829, handed on
    // through smoothSettingsRequested, as the dialog is the application's), File / Save (57603),
    // "保存图片" (32815) and "导出数据" (32816), handed on like 32829 because the exports live in
    // the report layer above the view. False for any other id.
    bool OnCommand(int nId)
    {
        if (nId == cmd::kSavePicture) {
            emit savePictureRequested();
            return true;
        }
        if (nId == cmd::kExportData) {
            emit exportDataRequested();
            return true;
        }
        return m_markerLayer.OnCommand(nId);
    }
    // Menu 130, which a right click opens; its actions run OnCommand.
    QMenu* CreateContextMenu();
    // Where the context menu key and Shift+F10 open menu 130: at the cursor when it is shown.
    QPoint KeyboardMenuPoint() const;

    // The automatic interpretation's suggestion, drawn over the graph on screen while shown.
    SuggestionOverlay& Suggestion() { return m_suggestion; }
    const SuggestionOverlay& Suggestion() const { return m_suggestion; }

signals:
    // Command 32829 from the context menu: the application shows the smoothing settings dialog.
    void smoothSettingsRequested();
    // Commands 32815 and 32816: the application runs the picture export and the Excel export.
    void savePictureRequested();
    void exportDataRequested();

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

    void ShowBacking(const QRect& area) override
    {
        if (area.isNull())
            update();
        else
            update(area);
    }
    int WindowWidth() const override { return width(); }
    void RequestSmoothSettings() override { emit smoothSettingsRequested(); }

private:
    // A backing image of the client size at the window's pixel ratio.
    QImage NewBacking() const;

    SuggestionOverlay m_suggestion;
    // The window whose change of screen repaints the view.
    QPointer<QWindow> m_pScreenWindow;
};
