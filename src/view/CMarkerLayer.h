#pragma once

#include "data/FileSlot.h"
#include "view/MarkerRecord.h"

#include <QPoint>
#include <QRect>
#include <QString>

#include <array>
#include <vector>

class CDrawCanvas;
class QImage;
class Prompts;
class QMenu;
class QPainter;
class QWidget;
struct CursorScale;

// The operator's cursor and the depth markers of the graph view: mouse and arrow-key moves, the
// status-bar read-out, the context menu with the marker commands, placing and removing markers,
// restoring them from the file and drawing them again after a layout change, and saving the
// marker table into a copy of the file. The cursor and the marker records are its own; the paint,
// the overlay and the frame read them and change them through its verbs.
//
// Cursor and marker lines are drawn in inverting mode into the view's backing image, so drawing
// the same line a second time erases it. A repaint of the backing image starts from white and
// would otherwise leave records that claim lines the image no longer holds; erasing such a line
// would then draw it instead. The layer therefore notes which lines the current image holds, and
// after every repaint draws again what the records say is on screen.
class CMarkerLayer {
public:
    // What the layer needs of its canvas beyond the canvas's public face: the backing image it
    // draws on between paints and the window around it.
    class Surface {
    public:
        virtual QImage& Backing() = 0;
        // area: what changed, in the view's pixels; a null rectangle stands for all of it.
        virtual void ShowBacking(const QRect& area) = 0;
        virtual int WindowWidth() const = 0;
        virtual void RequestSmoothSettings() = 0;
        // The next paints draw from memory: re-reading the file would put the stored markers back.
        virtual void StopReloading() = 0;
        // A repaint from memory that draws the records' markers again (after an undo).
        virtual void RedrawMarkersFromRecords() = 0;

    protected:
        ~Surface() = default;
    };

    CMarkerLayer(CDrawCanvas& view, Surface& surface);
    CMarkerLayer(const CMarkerLayer&) = delete;
    CMarkerLayer& operator=(const CMarkerLayer&) = delete;

    // Mouse and keys. OnKeyDown returns false when the key must not reach default processing.
    void OnMouseMove(int x);  // while the left button is held
    void OnLeftButtonUp(int x);
    bool OnKeyDown(int key);

    // The commands of the context menu and File / Save; false for an id that is not one of them.
    bool OnCommand(int nId);
    // Menu 130: "清    除", "平滑设置", "底部深度", a separator, "一级接头" .. "十级接头"; each action
    // carries its command id as data and runs it on the view.
    QMenu* CreateContextMenu(QWidget* parent);

    // Marker command for kind: only while the cursor is shown; moves a placed marker.
    void OnMarkerCommand(int kind);
    // Puts marker kind at the cursor x; between paints on the backing image.
    void PlaceMarker(int kind);
    // What a click on sample entry at column x leaves behind, then the marker command for kind.
    void PlaceMarkerAtSample(int kind, int entry, int x);
    struct SamplePlacement {
        int kind;
        int entry;
        int x;
    };
    // PlaceMarkerAtSample for each placement in order, undone as one step.
    void PlaceMarkersAtSamples(const std::vector<SamplePlacement>& placements);
    void RemoveMarker(int kind);
    void ClearMarkers();
    void ResetMarkers();

    // The paint-time passes, drawing with the paint's painter.
    void RestoreMarkersFromFile(QPainter& painter);
    void RedrawMarkers(QPainter& painter);

    // Backing image hooks of the view's paint: before it is painted from white, and afterwards.
    void ImageErased();
    void RestoreOverlay();
    // Around a repaint at a new client size: the markers are placed again from their depths by the
    // paint's redraw pass, and the shown cursor is moved to the column of its sample.
    // BeforeResize returns whether any marker is to be drawn again.
    bool BeforeResize();
    void AfterResize();
    // A new layout (mode, directions, the frame regaining the focus): the cursor is hidden and
    // the placed markers are drawn again by the paint's redraw pass.
    void HideForRelayout();

    // Marker kind is on the graph: placed by the operator or the file, or waiting to be drawn
    // again after a new layout.
    bool MarkerStands(int kind) const;
    bool AnyMarkerStands() const;

    // The marker commands since the file was chosen or last saved changed the records.
    bool HasUnsavedMarkers() const { return m_bUnsaved; }
    // Undo takes the records back to before the last marker command ("清    除" included); the
    // steps go back to the choice of the file.
    bool CanUndo() const { return !m_undo.empty(); }
    void Undo();

    // Whether the records hold this file's markers already: restored from the file once, or set by
    // the operator since the file was chosen. ResetMarkers gives them up.
    bool RecordsTaken() const { return m_bRecordsTaken; }

    int IndexFromPixel(int x) const;
    void ShowReadout(int sample);
    void DrawCursor();
    void EraseCursor();

    // File / Save: asks for a file name and writes a copy of the file on display with the 11
    // marker depths in its marker table. Returns the path written, empty when nothing was.
    QString SaveMarkersAs(Prompts* prompts);

    // Marker line and upward label on a printed page, on any painter: the label at (x + 3, 3 x top)
    // in a font MulDiv(14, dpi, 96) pixels high, the line from (x, top) to (x, bottom).
    static void DrawMarkerOnDevice(int kind, int top, int bottom, const QString& label, QPainter& dc, int x);

    // Whether the backing image currently holds the marker's line and label, or the cursor.
    bool MarkerOnImage(int kind) const;
    bool CursorOnImage() const { return m_bCursorOnImage; }

    const std::array<MarkerRecord, kMarkerSlots>& Markers() const { return m_markers; }
    bool CursorShown() const { return m_bCursorShown; }
    int CursorIndex() const { return m_nCursorIndex; }
    int CursorX() const { return m_nCursorX; }
    QPoint CursorLineStart() const { return m_cursorLineStart; }

private:
    struct UndoStep {
        std::array<MarkerRecord, kMarkerSlots> markers;
        bool unsaved = false;
    };
    // Closes a marker command that started with the records of before: an undo step when the
    // command changed them.
    void Commit(const UndoStep& before);

    // keepDepth: the record's depth stands (a marker drawn again at another width) rather than the
    // depth of the sample under the column, which may differ where samples share a column.
    void PlaceMarkerOn(int kind, int x, QPainter* paintPainter, bool keepDepth = false);
    template <typename Draw>
    void DrawOnBacking(Draw draw, const QRect& area = QRect());
    // The depth-to-pixel table rebuilt for the width of the image on screen, and its scale.
    CursorScale Measure();
    // Where a marker of that depth stands at the width of scale.
    int ColumnOfDepth(const CursorScale& scale, float depth) const;
    int ClientWidth() const;
    void ShowSignal(int sample, int trailingBlanks);
    void SetPane(int paneId, const QString& text);
    bool HasFrame() const;

    CDrawCanvas& m_view;
    Surface& m_surface;
    std::array<MarkerRecord, kMarkerSlots> m_markers{};
    int m_nCursorX = 0;
    int m_nCursorIndex = 0;
    bool m_bCursorShown = false;
    QPoint m_cursorLineStart;
    QPoint m_cursorLineEnd;
    std::array<bool, 11> m_bMarkerOnImage{};
    bool m_bCursorOnImage = false;
    bool m_bRecordsTaken = false;
    bool m_bCursorBeforeResize = false;
    bool m_bUnsaved = false;
    // Inside PlaceMarkersAtSamples, whose placements commit together.
    bool m_bGrouped = false;
    std::vector<UndoStep> m_undo;
    // The paint's painter while a pass draws on the backing image, so that nothing opens a second
    // painter on the image being painted.
    QPainter* m_pBackingPainter = nullptr;
};
