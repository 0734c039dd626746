#pragma once

#include "view/CMarkerLayer.h"
#include "view/DisplayedFile.h"

#include <QImage>
#include <QSize>
#include <QString>

#include <functional>
#include <memory>

class GdiContext;
class IFrameState;
class IStatusPanes;
class ITableDisplay;
class Prompts;
class QPainter;

// The graph view without its window: the file on display, the request flags that the rest of
// the program raises through the verbs below, the cursor and marker layer, and the paint
// algorithm. The paint runs on any painter or plain image, so the screen (CDrawView, which adds
// the window), orvek-cli and the picture export all paint through it; a canvas needs no widget
// and may live on any thread.
//
// Nobody else loads the displayed file or draws the graph: they make a request, and the next
// paint does the work. The backing image is what a window shows between paints; drawing between
// paints (cursor and markers, in inverting mode) goes into it.
class CDrawCanvas : private CMarkerLayer::Surface {
public:
    // file: the file on display, owned by the caller; without one the canvas keeps its own.
    explicit CDrawCanvas(DisplayedFile* file = nullptr);
    virtual ~CDrawCanvas();
    CDrawCanvas(const CDrawCanvas&) = delete;
    CDrawCanvas& operator=(const CDrawCanvas&) = delete;

    // What the view needs of the main frame; without a frame the paint draws nothing.
    void SetFrame(IFrameState* frame) { m_pFrame = frame; }
    void SetStatusPanes(IStatusPanes* panes) { m_pStatusPanes = panes; }
    // The table display is a child control with features of its own; the paint only hands a
    // refill request to it.
    void SetTable(ITableDisplay* table) { m_pTable = table; }
    // orvek-cli must not create "zel.sysconfig" beside the files it renders; the desktop program
    // reads (and creates) it before every load.
    void SetReadsConfiguration(bool reads) { m_bReadsConfiguration = reads; }
    // Where the view's operator dialogs go; without one File / Save does nothing.
    void SetPrompts(Prompts* prompts) { m_pPrompts = prompts; }

    const IFrameState* Frame() const { return m_pFrame; }
    IStatusPanes* StatusPanes() const { return m_pStatusPanes; }
    Prompts* OperatorPrompts() const { return m_pPrompts; }

    DisplayedFile& File() { return *m_pFile; }
    const DisplayedFile& File() const { return *m_pFile; }

    // --- requests; each takes effect at the next paint ---

    // Shows the file at path: it is read at every paint from now on, its stored markers are put
    // up once, the smoothing window starts at 1 and the markers and cursor of the file shown
    // before are dropped. leaveTable, when given, switches the frame from table to graph mode;
    // the reload request survives the switch.
    void ShowFile(const QString& path, const QString& folder, const std::function<void()>& leaveTable = {});
    enum class Reload {
        Once,       // the file is read again at the next paint (it was written)
        EveryPaint  // the file is read at every paint, the placed markers drawn again after it
    };
    void RequestReload(Reload kind);
    // The picture is laid out anew from memory (directions switched): the cursor is hidden and
    // the placed markers are drawn again.
    void RequestRelayout();
    // A repaint from memory: the file is not read again.
    void RequestRepaint();
    // The table is refilled at the next paint in table mode.
    void RequestTableRefill();
    // Display modes: graph mode drops a pending table refill and lays out the picture anew, table
    // mode asks for a refill.
    void ShowGraph();
    void ShowTable();

    // The pending requests, as the next paint will find them. The file is read at every paint
    // while reloadFile stands (and its stored markers are put up), at the next paint only after
    // reloadOnce, and reloadOnSwitch carries a file choice through the switch out of table mode.
    // The placed markers are drawn again after redrawMarkers, which waits until the first new
    // layout unless the records were taken.
    struct Requests {
        bool reloadFile = false;
        bool reloadOnSwitch = false;
        bool reloadOnce = false;
        bool tableRefill = false;
        bool redrawMarkers = false;
        bool markerRedrawBlocked = true;
    };
    const Requests& PendingRequests() const { return m_requests; }

    // Marks the backing image stale, like invalidating the whole client area with erasing; a
    // window also schedules a paint.
    virtual void Invalidate() { m_bBackingStale = true; }

    // The paint algorithm on any painter, for a client area of the given size.
    void Paint(QPainter& painter, QSize client);
    // The paint into image: filled white first (the erase), then painted at the image's size. An
    // image of a pixel ratio above 1 is painted at its logical size with the device's detail.
    void PaintInto(QImage& image);

    // The message of the last load of the file that failed, empty when it succeeded; the paint
    // cannot show it itself, and reloads on every paint while the reload request stands.
    const QString& LastLoadProblem() const { return m_pFile->LoadProblem(); }
    bool ShowsLoadedFile() const { return m_pFile->ShowsLoadedFile(); }
    QString NotLoadedMessage() const { return m_pFile->NotLoadedMessage(); }
    // Client size of the last paint; the marker passes and the cursor code measure with it.
    QSize PaintedSize() const { return m_paintedSize; }
    // Band height and value height of the last graph paint.
    int UnitHeight() const { return m_nUnitHeight; }
    int ValueHeight() const { return m_nValueHeight; }
    const QImage& BackingImage() const { return m_backing; }

    // Returns the marker slots and the cursor to their initial state without drawing.
    void ResetMarkers() { m_markerLayer.ResetMarkers(); }

    // Cursor and markers; the work is done by the marker layer.
    void RemoveMarker(int kind) { m_markerLayer.RemoveMarker(kind); }
    void ClearMarkers() { m_markerLayer.ClearMarkers(); }
    int IndexFromPixel(int x) const { return m_markerLayer.IndexFromPixel(x); }
    void ShowReadout(int sample) { m_markerLayer.ShowReadout(sample); }
    QString OnFileSave() { return m_markerLayer.SaveMarkersAs(m_pPrompts); }
    void PlaceMarkerAtSample(int kind, int entry, int x) { m_markerLayer.PlaceMarkerAtSample(kind, entry, x); }
    void PlaceMarkersAtSamples(const std::vector<CMarkerLayer::SamplePlacement>& placements)
    {
        m_markerLayer.PlaceMarkersAtSamples(placements);
    }
    void UndoMarkers() { m_markerLayer.Undo(); }
    const CMarkerLayer& MarkerLayer() const { return m_markerLayer; }

protected:
    // What a window adds: showing the backing image after drawing between paints, its own width
    // before the first paint (a canvas has none), and the smoothing settings dialog (context menu
    // command 32829).
    void ShowBacking(const QRect&) override {}
    int WindowWidth() const override { return 0; }
    void RequestSmoothSettings() override {}
    // After a resize, the markers that were placed are drawn again at their depths.
    void RequestMarkerRedraw() { m_requests.redrawMarkers = true; }

    IFrameState* m_pFrame = nullptr;
    QImage m_backing;
    bool m_bBackingStale = true;
    CMarkerLayer m_markerLayer{*this, *this};

private:
    QImage& Backing() override { return m_backing; }
    void StopReloading() override { m_requests.reloadFile = false; }
    void RedrawMarkersFromRecords() override
    {
        m_requests.reloadFile = false;
        m_requests.redrawMarkers = true;
        Invalidate();
    }

    // Graph mode steps of the paint; false when the paint stops before the marker passes.
    bool PaintGraph(QPainter& painter, QSize client);
    void WriteHeaderPanes(const GdiContext& dc);
    void SetPane(const GdiContext& dc, int paneId, const QString& text);

    std::unique_ptr<DisplayedFile> m_pOwnFile;
    DisplayedFile* m_pFile;
    IStatusPanes* m_pStatusPanes = nullptr;
    ITableDisplay* m_pTable = nullptr;
    Prompts* m_pPrompts = nullptr;
    bool m_bReadsConfiguration = true;
    QSize m_paintedSize;
    int m_nUnitHeight = 0;
    int m_nValueHeight = 0;

    Requests m_requests;
};
