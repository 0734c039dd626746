#pragma once

#include "data/FileSlot.h"
#include "view/CMarkerLayer.h"
#include "view/MarkerRecord.h"
#include "view/PrintSettings.h"

#include <QImage>
#include <QPoint>
#include <QSize>
#include <QString>

#include <array>
#include <string>
#include <vector>

class GdiContext;
class IFrameState;
class IStatusPanes;
class ITableDisplay;
class Prompts;
class QPainter;
struct PanelRect;

// The graph view without its window: the three file slots that the screen, printing and the
// report read, the request flags that the rest of the program raises, the cursor and marker
// records, and the paint algorithm. The paint runs on any painter or plain image, so the screen
// (CDrawView, which adds the window), orvek-cli and the picture export all paint through it; a
// canvas needs no widget and may live on any thread.
//
// Nobody else loads the displayed file or draws the graph: they set a flag and invalidate, and the
// next paint does the work. The backing image is what a window shows between paints; drawing
// between paints (cursor and markers, in inverting mode) goes into it.
class CDrawCanvas {
public:
    CDrawCanvas();
    virtual ~CDrawCanvas();
    CDrawCanvas(const CDrawCanvas&) = delete;
    CDrawCanvas& operator=(const CDrawCanvas&) = delete;

    // What the view needs of the main frame; without a frame the paint draws nothing.
    void SetFrame(IFrameState* frame) { m_pFrame = frame; }
    void SetStatusPanes(IStatusPanes* panes) { m_pStatusPanes = panes; }
    void SetTable(ITableDisplay* table) { m_pTable = table; }
    // orvek-cli must not create "zel.sysconfig" beside the files it renders; the desktop program
    // reads (and creates) it before every load.
    void SetReadsConfiguration(bool reads) { m_bReadsConfiguration = reads; }

    // Marks the backing image stale, like invalidating the whole client area with erasing; a
    // window also schedules a paint.
    virtual void Invalidate() { m_bBackingStale = true; }

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
    // The table display is a child control that arrives with its own features; the paint only
    // needs to hand a refill request to it.
    ITableDisplay* m_pTable = nullptr;
    // The rows of the last Excel export (depth, Z, Z gradient), the shallowest sample first.
    std::vector<std::vector<std::u16string>> m_exportList;
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

protected:
    // What a window adds: showing the backing image after drawing between paints, its own width
    // before the first paint (a canvas has none), and the smoothing settings dialog (context menu
    // command 32829).
    virtual void ShowBacking() {}
    virtual int WindowWidth() const { return 0; }
    virtual void RequestSmoothSettings() {}

    // Paint-time marker passes, drawing on the paint's painter: the markers stored in the file
    // are placed while m_reloadFile is set, and the placed ones are drawn again after a layout
    // change. They belong to the cursor and marker handling.
    void RestoreMarkersFromFile(QPainter& painter);
    void RedrawMarkers(QPainter& painter);

    IFrameState* m_pFrame = nullptr;
    QImage m_backing;
    bool m_bBackingStale = true;
    CMarkerLayer m_markerLayer{*this};

private:
    // Graph mode steps of the paint; false when the paint stops before the marker passes.
    bool PaintGraph(QPainter& painter, QSize client);
    void ReloadScreenData(int clientWidth);
    void WriteHeaderPanes(const GdiContext& dc);
    void SetPane(const GdiContext& dc, int paneId, const QString& text);

    IStatusPanes* m_pStatusPanes = nullptr;
    bool m_bReadsConfiguration = true;
    QString m_strLoadProblem;
    QSize m_paintedSize;

    // The marker layer works on the canvas's members and its backing image.
    friend class CMarkerLayer;
    Prompts* m_pPrompts = nullptr;
};
