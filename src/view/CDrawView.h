#pragma once

#include "data/FileSlot.h"
#include "view/CExportList.h"
#include "view/CMarkerLayer.h"
#include "view/MarkerRecord.h"
#include "view/PrintSettings.h"

#include <QImage>
#include <QPoint>
#include <QSize>
#include <QString>
#include <QWidget>

#include <array>

class GdiContext;
class IFrameState;
class IStatusPanes;
class ITableDisplay;
class Prompts;
class QKeyEvent;
class QMenu;
class QMouseEvent;
class QPainter;
struct PanelRect;

// The graph view: shows the file on display as curves against depth, owns the three file slots
// that the screen, printing and the report read, and honours the request flags that the rest of
// the program raises. Nobody else loads the displayed file or draws the graph: they set a flag
// and invalidate, and the next paint does the work.
//
// The paint runs into a backing image of the client size. Invalidate marks it stale; a paint
// event then runs the paint algorithm into it and blits it. Drawing between paints (cursor and
// markers, in inverting mode) goes into the backing image followed by update(), which only blits.
class CDrawView : public QWidget {
    Q_OBJECT
public:
    explicit CDrawView(QWidget* parent = nullptr);
    ~CDrawView() override;

    // What the view needs of the main frame; without a frame the paint draws nothing.
    void SetFrame(IFrameState* frame) { m_pFrame = frame; }
    void SetStatusPanes(IStatusPanes* panes) { m_pStatusPanes = panes; }
    void SetTable(ITableDisplay* table) { m_pTable = table; }
    // orvek-cli must not create "zel.sysconfig" beside the files it renders; the desktop program
    // reads (and creates) it before every load.
    void SetReadsConfiguration(bool reads) { m_bReadsConfiguration = reads; }

    // Marks the backing image stale and schedules a paint, like invalidating the whole client
    // area with erasing.
    void Invalidate();

    // The paint algorithm on any painter, for a client area of the given size.
    void Paint(QPainter& painter, QSize client);
    // The paint into image: filled white first (the erase), then painted at the image's size.
    void PaintInto(QImage& image);
    // The band on a printed page from m_printData with the current m_unitHeight.
    void DrawPrintedBand(QPainter& painter, const PanelRect& area) const;

    // The message of the last load of the screen slot that failed, empty when it succeeded; the
    // paint cannot show it itself, and reloads on every paint while m_reloadFile stays set.
    const QString& LastLoadProblem() const { return m_strLoadProblem; }
    // Whether the screen slot holds the data of the file on display (its last load succeeded).
    // Every command that writes what the view shows into the file checks this first.
    bool ShowsLoadedFile() const;
    // What the operator is told when a command needs the file's data and the view has none.
    QString NotLoadedMessage() const;
    // Client size of the last paint; the marker passes and the cursor code measure with it.
    QSize PaintedSize() const { return m_paintedSize; }
    const QImage& BackingImage() const { return m_backing; }

    // Returns the marker slots and the cursor to their initial state without drawing.
    void ResetMarkers();

    // Where the view's operator dialogs go; without one File / Save does nothing.
    void SetPrompts(Prompts* prompts) { m_pPrompts = prompts; }
    // The view's own commands: the marker kinds, "清    除" (32818), "平滑设置" (32829, handed on
    // through smoothSettingsRequested, as the dialog is the application's), File / Save (57603),
    // "保存图片" (32815) and "导出数据" (32816), handed on like 32829 because the exports live in
    // the report layer above the view. False for any other id.
    static constexpr int kSavePictureCommand = 32815;
    static constexpr int kExportDataCommand = 32816;
    bool OnCommand(int nId)
    {
        if (nId == kSavePictureCommand) {
            emit savePictureRequested();
            return true;
        }
        if (nId == kExportDataCommand) {
            emit exportDataRequested();
            return true;
        }
        return m_markerLayer.OnCommand(nId);
    }
    // Menu 130, which a right click opens; its actions run OnCommand.
    QMenu* CreateContextMenu();

    // Cursor and markers; the work is done by the marker layer.
    void PlaceMarker(int kind) { m_markerLayer.PlaceMarker(kind); }
    void RemoveMarker(int kind) { m_markerLayer.RemoveMarker(kind); }
    void ClearMarkers() { m_markerLayer.ClearMarkers(); }
    int IndexFromPixel(int x) const { return m_markerLayer.IndexFromPixel(x); }
    void ShowReadout(int sample) { m_markerLayer.ShowReadout(sample); }
    void OnFileSave() { m_markerLayer.SaveMarkersAs(m_pPrompts); }
    const CMarkerLayer& MarkerLayer() const { return m_markerLayer; }
    // Marker line and upward label on a printed page (any painter).
    static void DrawMarkerOnDevice(int kind, int top, int bottom, const QString& label, QPainter& dc, int x)
    {
        CMarkerLayer::DrawMarkerOnDevice(kind, top, bottom, label, dc, x);
    }

    QString m_strFilePath;
    QString m_strFolder;
    FileSlot m_screenData;
    FileSlot m_printData;
    FileSlot m_reportData;
    int m_unitHeight = 0;
    int m_valueHeight = 0;
    QPoint m_cursorLineStart;
    QPoint m_cursorLineEnd;
    int m_cursorX = 0;
    // The table display and the export list are child controls that arrive with their own
    // features; the paint only needs to hand a refill request to the table.
    ITableDisplay* m_pTable = nullptr;
    CExportList m_exportList;
    int m_tableDirty = 0;
    int m_reloadFile = 0;
    int m_reloadOnSwitch = 0;
    int m_reloadOnce = 0;
    int m_redrawMarkers = 0;
    int m_markerRedrawBlocked = 1;
    int m_markersEdited = 0;
    std::array<MarkerRecord, kMarkerSlots> m_markers{};
    QString m_strPicturePath;
    // Print state.
    PrintSettings m_printSettings;
    int m_printFileCount = 0;
    int m_extraPages = 0;
    int m_pageRows = 0;
    int m_rowsPerGroup = 24;
    int m_headerRows = 2;
    int m_titleWidth = 0;
    int m_titleLeft = 0;
    int m_lineHeight = 0;
    int m_cursorIndex = 0;
    int m_cursorShown = 0;

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
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

    // Paint-time marker passes, drawing on the paint's painter: the markers stored in the file
    // are placed while m_reloadFile is set, and the placed ones are drawn again after a layout
    // change. They belong to the cursor and marker handling.
    void RestoreMarkersFromFile(QPainter& painter);
    void RedrawMarkers(QPainter& painter);

private:
    // Graph mode steps of the paint; false when the paint stops before the marker passes.
    bool PaintGraph(QPainter& painter, QSize client);
    void ReloadScreenData(int clientWidth);
    void WriteHeaderPanes(const GdiContext& dc);
    void SetPane(const GdiContext& dc, int paneId, const QString& text);

    IFrameState* m_pFrame = nullptr;
    IStatusPanes* m_pStatusPanes = nullptr;
    bool m_bReadsConfiguration = true;
    QString m_strLoadProblem;
    QSize m_paintedSize;
    QImage m_backing;
    bool m_bBackingStale = true;

    // The marker layer works on the view's members and its backing image.
    friend class CMarkerLayer;
    Prompts* m_pPrompts = nullptr;
    CMarkerLayer m_markerLayer{*this};
};
