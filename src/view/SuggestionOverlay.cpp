#include "view/SuggestionOverlay.h"

#include "analysis/BandLayout.h"
#include "analysis/CursorMath.h"
#include "analysis/MarkerMath.h"
#include "analysis/Scales.h"
#include "view/CDrawView.h"
#include "view/GdiContext.h"

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kJointLevels = 10;
const QString kLabel = QStringLiteral("建议");

// The width the graph on screen was painted at; the cursor and the markers measure with it too.
int PaintedWidth(const CDrawView& view)
{
    return view.PaintedSize().isValid() ? view.PaintedSize().width() : view.width();
}

// Depth-to-pixel entry of the sample nearest depth; -1 without samples.
int NearestEntry(const CFileData& data, float depth)
{
    int best = -1;
    float bestDistance = 0.0f;
    for (std::size_t i = 0; i < data.m_depthPixels.size(); ++i) {
        const float distance = std::abs(data.m_depthPixels[i].depth - depth);
        if (best < 0 || distance < bestDistance) {
            best = int(i);
            bestDistance = distance;
        }
    }
    return best;
}

}  // namespace

std::vector<std::pair<int, float>> SuggestionOverlay::Markers() const
{
    std::vector<std::pair<int, float>> markers;
    if (!m_suggestion) {
        return markers;
    }
    for (std::size_t k = 0; k < m_suggestion->joints.size() && k < kJointLevels; ++k) {
        markers.emplace_back(int(k), m_suggestion->joints[k]);
    }
    if (m_suggestion->bottom) {
        markers.emplace_back(kBottomMarker, *m_suggestion->bottom);
    }
    return markers;
}

QString SuggestionOverlay::Summary() const
{
    if (!m_suggestion) {
        return {};
    }
    const QString reason = QString::fromStdString(m_suggestion->reason);
    if (!m_suggestion->bottom) {
        return QStringLiteral("自动判读：%1").arg(reason);
    }
    return QStringLiteral("自动判读：建议底部 %1 m，置信度 %2。%3")
        .arg(double(*m_suggestion->bottom), 0, 'f', 2)
        .arg(double(m_suggestion->confidence), 0, 'f', 2)
        .arg(reason);
}

QRect SuggestionOverlay::LabelRect(int x, QSize text, const std::vector<int>& lines, const std::vector<QRect>& avoid,
                                   int top, int bottom)
{
    constexpr int kGap = 4;
    auto clear = [&](const QRect& r) {
        for (int line : lines)
            if (line >= r.left() - 2 && line <= r.right() + 2)
                return false;
        return std::none_of(avoid.begin(), avoid.end(), [&](const QRect& a) { return a.intersects(r); });
    };
    const QRect first(QPoint(x + kGap, top + 2), text);
    for (int y = top + 2; y + text.height() <= bottom; y += text.height() + 2) {
        for (const QRect& r : {QRect(QPoint(x + kGap, y), text), QRect(QPoint(x - kGap - text.width(), y), text)})
            if (clear(r))
                return r;
    }
    return first;
}

void SuggestionOverlay::Draw(QPainter& painter, const CDrawView& view, int shownComponents) const
{
    const std::optional<int> bottom = CursorLineBottom(view.UnitHeight(), view.ValueHeight(), shownComponents);
    const CursorScale scale = MakeCursorScale(view.File().ScreenData().primary, PaintedWidth(view));
    if (!bottom || !scale.Valid()) {
        return;
    }
    const std::vector<std::pair<int, float>> markers = Markers();
    // Every line on the graph, the suggested ones and the operator's, and the band titles: a
    // label over any of them would hide it or be lost in it.
    std::vector<int> lines;
    for (const auto& marker : markers) {
        lines.push_back(RestoredMarkerX(scale, marker.second));
    }
    for (const MarkerRecord& marker : view.MarkerLayer().Markers()) {
        if (marker.placed && marker.lineStart[0] != marker.lineEnd[0]) {
            lines.push_back(marker.lineStart[0].x());
        }
    }
    std::vector<QRect> titles;
    const QFontMetrics titleFont(gdi::PointFont(120));
    for (int slot = 1; slot <= shownComponents; ++slot) {
        const BandRects rects = BandRectsFor(slot, scale.width, view.height(), view.UnitHeight());
        for (const PanelRect& r : {rects.componentTitle, rects.gradientTitle}) {
            titles.emplace_back(QPoint(r.left, r.top), QSize(r.right - r.left, titleFont.height()));
        }
    }

    painter.save();
    QFont font = painter.font();
    font.setPixelSize(12);
    painter.setFont(font);
    const QFontMetrics metrics(font);
    const QSize text(metrics.horizontalAdvance(kLabel), metrics.height());
    for (const auto& [kind, depth] : markers) {
        const int x = RestoredMarkerX(scale, depth);
        if (x < 10 || x > scale.width - 10) {
            continue;
        }
        const QColor colour = QColor::fromRgb(MarkerColorRgb(kind));
        painter.setPen(QPen(colour, kMarkerPenWidth, Qt::DashLine));
        painter.drawLine(x, kMarkerLineTop, x, *bottom);
        std::vector<int> others;
        for (int line : lines) {
            if (std::abs(line - x) > 1) {
                others.push_back(line);
            }
        }
        const QRect where = LabelRect(x, text, others, titles, kMarkerLineTop, *bottom);
        painter.setPen(colour);
        painter.drawText(where, Qt::AlignLeft | Qt::AlignTop, kLabel);
        titles.push_back(where);
    }
    painter.restore();
}

bool SuggestionOverlay::Accept(CDrawView& view)
{
    CFileData& data = view.File().ScreenData().primary;
    const int width = PaintedWidth(view);
    BuildDepthPixelTable(data, width);
    const CursorScale scale = MakeCursorScale(data, width);
    if (!scale.Valid() || !m_suggestion) {
        return false;
    }
    const CMarkerLayer& layer = view.MarkerLayer();
    const float step = float(data.m_nStep) / 100.0f;
    std::vector<std::pair<int, float>> wanted;
    std::vector<int> freeLevels;
    for (int kind = 0; kind < kJointLevels; ++kind) {
        if (!layer.MarkerStands(kind)) {
            freeLevels.push_back(kind);
        }
    }
    std::size_t nextFree = 0;
    for (const float depth : m_suggestion->joints) {
        bool known = false;
        for (int kind = 0; kind < kJointLevels; ++kind) {
            known = known || (layer.MarkerStands(kind) &&
                              std::abs(layer.Markers()[std::size_t(kind)].depth - depth) <= step + 1e-4f);
        }
        if (!known && nextFree < freeLevels.size()) {
            wanted.emplace_back(freeLevels[nextFree++], depth);
        }
    }
    if (m_suggestion->bottom) {
        wanted.emplace_back(kBottomMarker, *m_suggestion->bottom);
    }
    std::vector<CMarkerLayer::SamplePlacement> placements;
    for (const auto& [kind, depth] : wanted) {
        const int entry = NearestEntry(data, depth);
        if (entry < 0) {
            return false;
        }
        // What a click on that sample leaves behind, then the context menu's command.
        placements.push_back({kind, entry, KeyCursorX(scale, data, entry)});
    }
    view.PlaceMarkersAtSamples(placements);
    Clear();
    view.update();
    return true;
}
