#include "view/CMarkerLayer.h"

#include "analysis/CursorMath.h"
#include "analysis/MarkerMath.h"
#include "analysis/Scales.h"
#include "data/MeasurementFile.h"
#include "data/PathUtil.h"
#include "view/CDrawCanvas.h"
#include "view/GdiContext.h"
#include "view/IFrameState.h"
#include "view/IStatusPanes.h"
#include "view/Prompts.h"
#include "view/ViewCommands.h"

#include <QFontMetrics>
#include <QMenu>
#include <QPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kKeyLeft = 0x25;
constexpr int kKeyRight = 0x27;
constexpr int kKeySpace = 0x20;
constexpr int kKeyPageUp = 0x21;
constexpr int kKeyPageDown = 0x22;
constexpr int kKeyEnd = 0x23;
constexpr int kKeyHome = 0x24;

const char* const kJointMenuTexts[10] = {"一级接头", "二级接头", "三级接头", "四级接头", "五级接头",
                                         "六级接头", "七级接头", "八级接头", "九级接头", "十级接头"};

QColor MarkerColor(int kind)
{
    return QColor::fromRgb(static_cast<QRgb>(MarkerColorRgb(kind)));
}

// One inverted line; a line of no length draws nothing, as on the platform.
void InvertLine(QPainter& painter, const QPen& pen, QPoint from, QPoint to)
{
    if (from == to)
        return;
    GdiContext dc(painter);
    dc.SelectPen(pen);
    dc.SetInvertMode(true);
    dc.MoveTo(from.x(), from.y());
    dc.LineTo(to.x(), to.y());
}

// Text running upwards from (x, y): the top of the text faces left, so the cell lies to the right
// of x and above y.
void UpwardText(GdiContext& dc, int x, int y, const QString& text)
{
    QPainter& painter = dc.Painter();
    painter.save();
    painter.translate(x, y);
    painter.rotate(-90.0);
    dc.TextOut(0, 0, text);
    painter.restore();
}

// What the cursor line covers: following the mouse, only this much of a large screen is shown anew.
QRect CursorArea(QPoint from, QPoint to)
{
    return QRect(from, to).normalized().adjusted(-1, -1, 1, 1);
}

int VirtualKey(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_Left:
        return kKeyLeft;
    case Qt::Key_Right:
        return kKeyRight;
    case Qt::Key_Space:
        return kKeySpace;
    case Qt::Key_PageUp:
        return kKeyPageUp;
    case Qt::Key_PageDown:
        return kKeyPageDown;
    case Qt::Key_End:
        return kKeyEnd;
    case Qt::Key_Home:
        return kKeyHome;
    default:
        return 0;
    }
}

}  // namespace

CMarkerLayer::CMarkerLayer(CDrawCanvas& view, Surface& surface) : m_view(view), m_surface(surface)
{
}

bool CMarkerLayer::HasFrame() const
{
    return m_view.Frame() != nullptr;
}

bool CMarkerLayer::MarkerOnImage(int kind) const
{
    return kind >= 0 && kind < kMarkerSlots && m_bMarkerOnImage[static_cast<std::size_t>(kind)];
}

int CMarkerLayer::ClientWidth() const
{
    // The image on screen was painted at this width; clicks and lines refer to it.
    const QSize painted = m_view.PaintedSize();
    return painted.isValid() ? painted.width() : m_surface.WindowWidth();
}

CursorScale CMarkerLayer::Measure()
{
    CFileData& data = m_view.File().ScreenData().primary;
    const int width = ClientWidth();
    // The paint builds the table only when it re-reads the file; after a resize without a re-read
    // its pixels would belong to the old width while the curves are drawn at the new one.
    BuildDepthPixelTable(data, width);
    return MakeCursorScale(data, width);
}

int CMarkerLayer::IndexFromPixel(int x) const
{
    return ::IndexFromPixel(MakeCursorScale(m_view.File().ScreenData().primary, ClientWidth()), x);
}

template <typename Draw>
void CMarkerLayer::DrawOnBacking(Draw draw, const QRect& area)
{
    if (m_pBackingPainter) {
        draw(*m_pBackingPainter);
        return;
    }
    QImage& image = m_surface.Backing();
    if (image.isNull())
        return;
    {
        QPainter painter(&image);
        draw(painter);
    }
    m_surface.ShowBacking(area);
}

// ---------------------------------------------------------------------------------------------
// Cursor

void CMarkerLayer::DrawCursor()
{
    if (!HasFrame())
        return;
    const int x = m_nCursorX;
    const std::optional<int> bottom =
        CursorLineBottom(m_view.UnitHeight(), m_view.ValueHeight(), m_view.Frame()->ShownComponents());
    m_cursorLineStart = QPoint(x, kMarkerLineTop);
    m_cursorLineEnd = QPoint(x, bottom.value_or(kMarkerLineTop));
    m_bCursorShown = true;
    const QPoint from = m_cursorLineStart;
    const QPoint to = m_cursorLineEnd;
    bool drawn = false;
    DrawOnBacking(
        [&](QPainter& painter) {
            InvertLine(painter, gdi::SolidPen(1, Qt::black), from, to);
            drawn = true;
        },
        CursorArea(from, to));
    m_bCursorOnImage = drawn;
}

void CMarkerLayer::EraseCursor()
{
    if (m_bCursorOnImage) {
        const QPoint from = m_cursorLineStart;
        const QPoint to = m_cursorLineEnd;
        DrawOnBacking([&](QPainter& painter) { InvertLine(painter, gdi::SolidPen(1, Qt::black), from, to); },
                      CursorArea(from, to));
        m_bCursorOnImage = false;
    }
    m_bCursorShown = false;
}

void CMarkerLayer::SetPane(int paneId, const QString& text)
{
    // Measured in the font a fresh device context of the view starts with.
    const QFontMetrics metrics(gdi::DefaultFont());
    m_view.StatusPanes()->SetPaneWidth(paneId, metrics.horizontalAdvance(text));
    m_view.StatusPanes()->SetPaneText(paneId, text);
}

void CMarkerLayer::ShowSignal(int sample, int trailingBlanks)
{
    const CFileData& data = m_view.File().ScreenData().primary;
    if (!HasFrame() || !m_view.StatusPanes() || sample < 0 || sample >= RawEntries(data))
        return;
    const SampleRecord& record = data.m_raw[static_cast<std::size_t>(sample)];
    SetPane(pane::kReadout, QString::fromStdString(ReadoutSignalText(record, trailingBlanks)));
    SetPane(pane::kFile, QString::fromStdString(ReadoutDepthText(record.depth)));
}

void CMarkerLayer::ShowReadout(int sample)
{
    ShowSignal(sample, 3);
}

void CMarkerLayer::OnMouseMove(int x)
{
    if (m_bCursorShown)
        EraseCursor();
    m_nCursorX = x;
    DrawCursor();
    if (!HasFrame())
        return;
    const CursorScale scale = Measure();
    const int sample = FindSampleNear(m_view.File().ScreenData().primary, DepthAtPixel(scale, x));
    if (sample >= 0)
        ShowSignal(sample, 2);
}

void CMarkerLayer::OnLeftButtonUp(int x)
{
    if (m_bCursorShown)
        EraseCursor();
    const CursorScale scale = Measure();
    const int entry = ClickEntry(scale, x);
    // Without samples there is nothing to snap to; the cursor stays hidden.
    if (entry < 0)
        return;
    m_nCursorIndex = entry;
    m_nCursorX = ClickCursorX(m_view.File().ScreenData().primary, entry);
    DrawCursor();
    if (HasFrame())
        ShowReadout(SampleOfEntry(scale.count, entry));
}

bool CMarkerLayer::OnKeyDown(int key)
{
    if (!HasFrame())
        return true;
    const int vk = VirtualKey(key);
    CFileData& data = m_view.File().ScreenData().primary;
    const CursorScale scale = Measure();
    // The index survives the selection of a shorter file; it must never point past the samples.
    if (scale.count > 0)
        m_nCursorIndex = std::clamp(m_nCursorIndex, 0, scale.count - 1);

    if (vk == kKeyLeft || vk == kKeyRight) {
        const ArrowStep step =
            vk == kKeyLeft ? StepLeft(data, scale, m_nCursorIndex) : StepRight(data, scale, m_nCursorIndex);
        if (step.kind == ArrowStep::Kind::Ignored)
            return false;
        if (step.kind == ArrowStep::Kind::Moved) {
            m_nCursorIndex = step.entry;
            m_nCursorX = KeyCursorX(scale, data, step.entry);
            if (m_bCursorShown)
                EraseCursor();
            DrawCursor();
        }
    } else if (vk == kKeyHome || vk == kKeyEnd || vk == kKeyPageUp || vk == kKeyPageDown) {
        // Home and End go to the ends, the page keys a tenth of the axis: arrow steps that stop
        // where an arrow key would.
        const bool left = vk == kKeyHome || vk == kKeyPageUp;
        const int steps = vk == kKeyHome || vk == kKeyEnd ? scale.count : std::max(1, scale.count / 10);
        int entry = m_nCursorIndex;
        for (int i = 0; i < steps; ++i) {
            const ArrowStep step = left ? StepLeft(data, scale, entry) : StepRight(data, scale, entry);
            if (step.kind != ArrowStep::Kind::Moved)
                break;
            entry = step.entry;
        }
        if (scale.count > 0) {
            m_nCursorIndex = entry;
            m_nCursorX = KeyCursorX(scale, data, entry);
            if (m_bCursorShown)
                EraseCursor();
            DrawCursor();
        }
    } else if (vk == kKeySpace) {
        data.m_nSmoothWindow = 1;
        m_view.Invalidate();
    }
    ShowReadout(SampleOfEntry(scale.count, m_nCursorIndex));
    return true;
}

// ---------------------------------------------------------------------------------------------
// Markers

namespace {

bool SameMarkers(const std::array<MarkerRecord, kMarkerSlots>& a, const std::array<MarkerRecord, kMarkerSlots>& b)
{
    for (std::size_t k = 0; k < a.size(); ++k)
        if (a[k].depth != b[k].depth || (a[k].placed != 0) != (b[k].placed != 0) || a[k].x != b[k].x)
            return false;
    return true;
}

// More steps than an operator retraces; the oldest go first.
constexpr std::size_t kUndoSteps = 100;

}  // namespace

void CMarkerLayer::Commit(const UndoStep& before)
{
    if (m_bGrouped || SameMarkers(before.markers, m_markers))
        return;
    if (m_undo.size() == kUndoSteps)
        m_undo.erase(m_undo.begin());
    m_undo.push_back(before);
    m_bUnsaved = true;
}

void CMarkerLayer::OnMarkerCommand(int kind)
{
    if (kind < 0 || kind >= kMarkerSlots || !m_bCursorShown)
        return;
    // The marker table keeps positive depths only: a marker on a sample at 0 m or above would be
    // drawn now and gone once saved, so the marker stays where it was.
    const MarkerSpot spot = LocateMarker(Measure(), m_view.File().ScreenData().primary, m_nCursorX);
    if (spot.drawn && !IsStoredMarker(spot.depth))
        return;
    const UndoStep before{m_markers, m_bUnsaved};
    if (m_markers[static_cast<std::size_t>(kind)].placed)
        RemoveMarker(kind);
    PlaceMarker(kind);
    Commit(before);
}

void CMarkerLayer::PlaceMarkerAtSample(int kind, int entry, int x)
{
    m_nCursorIndex = entry;
    m_nCursorX = x;
    m_bCursorShown = true;
    OnMarkerCommand(kind);
}

void CMarkerLayer::PlaceMarkersAtSamples(const std::vector<SamplePlacement>& placements)
{
    const UndoStep before{m_markers, m_bUnsaved};
    m_bGrouped = true;
    for (const SamplePlacement& p : placements)
        PlaceMarkerAtSample(p.kind, p.entry, p.x);
    m_bGrouped = false;
    Commit(before);
}

bool CMarkerLayer::MarkerStands(int kind) const
{
    if (kind < 0 || kind >= kMarkerSlots)
        return false;
    const MarkerRecord& marker = m_markers[static_cast<std::size_t>(kind)];
    return marker.placed != 0 || marker.x != 0;
}

bool CMarkerLayer::AnyMarkerStands() const
{
    for (int kind = 0; kind < kMarkerSlots; ++kind)
        if (MarkerStands(kind))
            return true;
    return false;
}

void CMarkerLayer::Undo()
{
    if (m_undo.empty())
        return;
    const UndoStep step = m_undo.back();
    m_undo.pop_back();
    m_markers = step.markers;
    m_bUnsaved = step.unsaved;
    // The picture is painted anew from white; the redraw pass puts up what the records hold.
    for (MarkerRecord& marker : m_markers)
        marker.placed = 0;
    m_bMarkerOnImage = {};
    m_bCursorOnImage = false;
    m_bCursorShown = false;
    m_bRecordsTaken = true;
    m_surface.RedrawMarkersFromRecords();
}

void CMarkerLayer::PlaceMarker(int kind)
{
    PlaceMarkerOn(kind, m_nCursorX, nullptr);
}

void CMarkerLayer::PlaceMarkerOn(int kind, int x, QPainter* paintPainter, bool keepDepth)
{
    if (kind < 0 || kind >= kMarkerSlots)
        return;
    m_bRecordsTaken = true;
    if (m_bCursorShown)
        EraseCursor();
    MarkerRecord& marker = m_markers[static_cast<std::size_t>(kind)];
    if (marker.placed)
        RemoveMarker(kind);
    marker.placed = 1;
    marker.x = x;
    marker.width = ClientWidth();

    const CursorScale scale = Measure();
    const MarkerSpot spot = LocateMarker(scale, m_view.File().ScreenData().primary, marker.x);
    if (!spot.drawn) {
        // Nothing is drawn, so no line of an earlier place may be drawn again for it either.
        marker.lineStart = {};
        marker.lineEnd = {};
        return;
    }
    if (!keepDepth)
        marker.depth = spot.depth;

    const std::optional<int> bottom =
        HasFrame() ? CursorLineBottom(m_view.UnitHeight(), m_view.ValueHeight(), m_view.Frame()->ShownComponents())
                   : std::nullopt;
    if (bottom) {
        marker.lineStart[0] = QPoint(x, kMarkerLineTop);
        marker.lineEnd[0] = QPoint(x, *bottom);
    }
    const QString label = QString::fromStdString(MarkerLabel(marker.depth));
    const QPoint from = marker.lineStart[0];
    const QPoint to = marker.lineEnd[0];
    auto draw = [&](QPainter& painter) {
        {
            GdiContext dc(painter);
            QFont font = gdi::PointFont(kMarkerLabelPoints);
            dc.SelectFont(font);
            UpwardText(dc, x + kMarkerLabelOffset, kMarkerLabelBase, label);
        }
        if (bottom)
            InvertLine(painter, gdi::SolidPen(kMarkerPenWidth, MarkerColor(kind)), from, to);
    };
    if (paintPainter) {
        draw(*paintPainter);
        m_bMarkerOnImage[static_cast<std::size_t>(kind)] = paintPainter->device() == &m_surface.Backing();
    } else {
        bool drawn = false;
        DrawOnBacking([&](QPainter& painter) {
            draw(painter);
            drawn = true;
        });
        m_bMarkerOnImage[static_cast<std::size_t>(kind)] = drawn;
    }
}

void CMarkerLayer::RemoveMarker(int kind)
{
    if (kind < 0 || kind >= kMarkerSlots)
        return;
    MarkerRecord& marker = m_markers[static_cast<std::size_t>(kind)];
    if (!marker.placed)
        return;
    // The label is not inverted; only a repaint takes it away.
    m_surface.StopReloading();
    m_view.Invalidate();
    if (m_bMarkerOnImage[static_cast<std::size_t>(kind)]) {
        const QPen pen = gdi::SolidPen(kMarkerPenWidth, MarkerColor(kind));
        DrawOnBacking([&](QPainter& painter) {
            for (std::size_t i = 0; i < marker.lineStart.size(); ++i)
                InvertLine(painter, pen, marker.lineStart[i], marker.lineEnd[i]);
        });
        m_bMarkerOnImage[static_cast<std::size_t>(kind)] = false;
    }
    marker.x = 0;
    marker.placed = 0;
    marker.label.clear();
    marker.lineStart = {};
    marker.lineEnd = {};
}

void CMarkerLayer::ClearMarkers()
{
    m_bRecordsTaken = true;
    for (int kind = 0; kind < kMarkerSlots; ++kind)
        RemoveMarker(kind);
    for (MarkerRecord& marker : m_markers) {
        marker.label.clear();
        marker.depth = 0.0f;
        marker.placed = 0;
        marker.x = 0;
        // A marker hidden for a new layout keeps its line for the redraw; once cleared it must
        // not come back with it.
        marker.lineStart = {};
        marker.lineEnd = {};
    }
    m_surface.StopReloading();
}

void CMarkerLayer::ResetMarkers()
{
    for (MarkerRecord& marker : m_markers)
        marker = MarkerRecord{};
    m_bCursorShown = false;
    m_bUnsaved = false;
    m_undo.clear();
    // Nothing is erased: the caller repaints, and the records no longer claim any line.
    m_bMarkerOnImage = {};
    m_bCursorOnImage = false;
    m_bRecordsTaken = false;
}

void CMarkerLayer::RestoreMarkersFromFile(QPainter& painter)
{
    m_bRecordsTaken = true;
    const bool onBacking = painter.device() == &m_surface.Backing();
    m_pBackingPainter = onBacking ? &painter : nullptr;
    const CursorScale scale = Measure();
    for (int kind = 0; kind < kMarkerSlots; ++kind) {
        const float depth = m_view.File().ScreenData().markerDepth[static_cast<std::size_t>(kind)];
        if (!IsStoredMarker(depth))
            continue;
        MarkerRecord& marker = m_markers[static_cast<std::size_t>(kind)];
        marker.label = QString::fromStdString(MarkerLabel(depth));
        marker.depth = depth;
        marker.placed = 0;
        PlaceMarkerOn(kind, RestoredMarkerX(scale, depth), &painter);
    }
    m_pBackingPainter = nullptr;
}

int CMarkerLayer::ColumnOfDepth(const CursorScale& scale, float depth) const
{
    // The column of the sample nearest to depth, as the arrow keys would put the cursor on it. A
    // column worked out from the depth alone can show another sample where the depths are not
    // evenly spaced (repeated samples at the top), and can lie past the last sample at the
    // deep end.
    const CFileData& data = m_view.File().ScreenData().primary;
    const auto& entries = data.m_depthPixels;
    const std::size_t count = std::min(entries.size(), std::size_t(std::max(scale.count, 0)));
    if (count == 0)
        return RestoredMarkerX(scale, depth);
    std::size_t nearest = 0;
    for (std::size_t e = 1; e < count; ++e)
        if (std::fabs(entries[e].depth - depth) < std::fabs(entries[nearest].depth - depth))
            nearest = e;
    return KeyCursorX(scale, data, int(nearest));
}

void CMarkerLayer::RedrawMarkers(QPainter& painter)
{
    const bool onBacking = painter.device() == &m_surface.Backing();
    m_pBackingPainter = onBacking ? &painter : nullptr;
    const int width = ClientWidth();
    const CursorScale scale = Measure();
    for (int kind = 0; kind < kMarkerSlots; ++kind) {
        const MarkerRecord& marker = m_markers[static_cast<std::size_t>(kind)];
        // A kind that was never placed, or was cleared, has neither a position nor a line; it
        // stays off the screen rather than turning up at the left edge.
        if (marker.x == 0 && marker.lineStart[0] == QPoint())
            continue;
        // At another width the old column shows another depth than the label.
        const bool moved = marker.width != width;
        // A marker whose placement found no sample has no depth, and so no column at another
        // width; drawn at the sample nearest 0 m it would stand where the save keeps nothing.
        if (moved && !IsStoredMarker(marker.depth))
            continue;
        PlaceMarkerOn(kind, moved ? ColumnOfDepth(scale, marker.depth) : marker.x, &painter, moved);
    }
    m_pBackingPainter = nullptr;
}

bool CMarkerLayer::BeforeResize()
{
    // Drawing the markers again hides the cursor; it comes back at its sample afterwards.
    m_bCursorBeforeResize = m_bCursorShown;
    bool any = false;
    for (MarkerRecord& marker : m_markers) {
        any = any || marker.placed;
        marker.placed = 0;
    }
    return any;
}

void CMarkerLayer::HideForRelayout()
{
    for (MarkerRecord& marker : m_markers)
        marker.placed = 0;
    m_bCursorShown = false;
}

void CMarkerLayer::AfterResize()
{
    if (!m_bCursorBeforeResize || !HasFrame())
        return;
    m_bCursorBeforeResize = false;
    const CursorScale scale = Measure();
    if (scale.count <= 0) {
        m_bCursorShown = false;
        return;
    }
    m_bCursorShown = true;
    const int entry = std::clamp(m_nCursorIndex, 0, scale.count - 1);
    m_nCursorIndex = entry;
    m_nCursorX = KeyCursorX(scale, m_view.File().ScreenData().primary, entry);
    const std::optional<int> bottom =
        CursorLineBottom(m_view.UnitHeight(), m_view.ValueHeight(), m_view.Frame()->ShownComponents());
    m_cursorLineStart = QPoint(m_nCursorX, kMarkerLineTop);
    m_cursorLineEnd = QPoint(m_nCursorX, bottom.value_or(kMarkerLineTop));
}

void CMarkerLayer::ImageErased()
{
    m_bMarkerOnImage = {};
    m_bCursorOnImage = false;
}

void CMarkerLayer::RestoreOverlay()
{
    QImage& image = m_surface.Backing();
    if (image.isNull())
        return;
    QPainter painter(&image);
    for (int kind = 0; kind < kMarkerSlots; ++kind) {
        const MarkerRecord& marker = m_markers[static_cast<std::size_t>(kind)];
        const std::size_t k = static_cast<std::size_t>(kind);
        if (!marker.placed || m_bMarkerOnImage[k] || marker.lineStart[0] == marker.lineEnd[0])
            continue;
        {
            GdiContext dc(painter);
            dc.SelectFont(gdi::PointFont(kMarkerLabelPoints));
            UpwardText(dc, marker.x + kMarkerLabelOffset, kMarkerLabelBase,
                       QString::fromStdString(MarkerLabel(marker.depth)));
        }
        const QPen pen = gdi::SolidPen(kMarkerPenWidth, MarkerColor(kind));
        for (std::size_t i = 0; i < marker.lineStart.size(); ++i)
            InvertLine(painter, pen, marker.lineStart[i], marker.lineEnd[i]);
        m_bMarkerOnImage[k] = true;
    }
    if (m_bCursorShown && !m_bCursorOnImage) {
        InvertLine(painter, gdi::SolidPen(1, Qt::black), m_cursorLineStart, m_cursorLineEnd);
        m_bCursorOnImage = true;
    }
}

// ---------------------------------------------------------------------------------------------
// Commands

bool CMarkerLayer::OnCommand(int nId)
{
    const int kind = cmd::MarkerKindOfCommand(nId);
    if (kind >= 0) {
        OnMarkerCommand(kind);
        return true;
    }
    switch (nId) {
    case cmd::kClearMarkers: {
        const UndoStep before{m_markers, m_bUnsaved};
        ClearMarkers();
        Commit(before);
        return true;
    }
    case cmd::kEditUndo:
        Undo();
        return true;
    case cmd::kSmoothSettings:
        // The dialog is the application's to show.
        m_surface.RequestSmoothSettings();
        return true;
    case cmd::kFileSave:
        SaveMarkersAs(m_view.OperatorPrompts());
        return true;
    default:
        return false;
    }
}

QMenu* CMarkerLayer::CreateContextMenu(QWidget* parent)
{
    auto* menu = new QMenu(parent);
    menu->setObjectName(QStringLiteral("menu130"));
    auto add = [&](const QString& text, int nId) {
        QAction* action = menu->addAction(text);
        action->setData(nId);
        QObject::connect(action, &QAction::triggered, menu, [this, nId] { OnCommand(nId); });
    };
    add(QStringLiteral("清    除"), cmd::kClearMarkers);
    add(QStringLiteral("平滑设置"), cmd::kSmoothSettings);
    add(QStringLiteral("底部深度"), cmd::MarkerCommandId(kBottomMarker));
    menu->addSeparator();
    for (int kind = 0; kind < 10; ++kind)
        add(QString::fromUtf8(kJointMenuTexts[kind]), cmd::MarkerCommandId(kind));
    menu->addSeparator();
    add(QStringLiteral("撤销(&U)\tCtrl+Z"), cmd::kEditUndo);
    menu->actions().constLast()->setEnabled(CanUndo());
    return menu;
}

QString CMarkerLayer::SaveMarkersAs(Prompts* prompts)
{
    if (!prompts)
        return {};
    // The markers stand on the data of the file on display; without it they stand on nothing.
    const DisplayedFile& file = m_view.File();
    if (!file.ShowsLoadedFile()) {
        prompts->Message(file.NotLoadedMessage());
        return {};
    }
    Prompts::FileRequest request;
    request.filter = QStringLiteral(" Files (*.cdd)|*.cdd|All Files (*.*)|*.*||");
    // The full path opens the dialog in the file's folder with its name filled in.
    request.initialPath = file.FilePath();
    request.defaultSuffix = QStringLiteral("cdd");
    request.readOnlyBox = false;
    request.confirmOverwrite = true;
    const QString target = prompts->SaveFileName(request).path;
    if (target.isEmpty())
        return {};

    std::array<float, kMarkerSlots> depths{};
    for (std::size_t k = 0; k < depths.size(); ++k)
        depths[k] = m_markers[k].depth;
    const WriteResult result = SaveAsCopy(file.FilePath().toStdString(), target.toStdString(), depths);
    if (result != WriteResult::Ok) {
        prompts->Message(QString::fromUtf8(WriteResultMessage(result)));
        return {};
    }
    // Undoing past the save leaves the records unlike what was written.
    m_bUnsaved = false;
    for (UndoStep& step : m_undo)
        step.unsaved = true;
    return target;
}

// ---------------------------------------------------------------------------------------------
// Printed pages

void CMarkerLayer::DrawMarkerOnDevice(int kind, int top, int bottom, const QString& label, QPainter& dc, int x)
{
    GdiContext context(dc, GdiContext::Start::Inherit);
    QFont font(QString::fromUtf16(gdi::kFaceSongTi));
    const int dpiY = dc.device() ? dc.device()->logicalDpiY() : 96;
    font.setPixelSize(std::max(PrintedLabelFontHeight(dpiY), 1));
    font.setWeight(QFont::Normal);
    context.SelectFont(font);
    context.SetOpaqueBackground(false);
    UpwardText(context, x + kMarkerLabelOffset, PrintedLabelY(top), label);
    context.SelectPen(gdi::SolidPen(kMarkerPenWidth, MarkerColor(kind)));
    context.MoveTo(x, top);
    context.LineTo(x, bottom);
}
