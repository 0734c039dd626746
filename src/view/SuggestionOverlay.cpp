#include "view/SuggestionOverlay.h"

#include "analysis/CursorMath.h"
#include "analysis/MarkerMath.h"
#include "analysis/Scales.h"
#include "view/CDrawView.h"

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QPen>

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

void SuggestionOverlay::Draw(QPainter& painter, const CDrawView& view, int shownComponents) const
{
    const std::optional<int> bottom = CursorLineBottom(view.UnitHeight(), view.ValueHeight(), shownComponents);
    const CursorScale scale = MakeCursorScale(view.File().ScreenData().primary, PaintedWidth(view));
    if (!bottom || !scale.Valid()) {
        return;
    }
    painter.save();
    QFont font = painter.font();
    font.setPixelSize(12);
    painter.setFont(font);
    for (const auto& [kind, depth] : Markers()) {
        const int x = RestoredMarkerX(scale, depth);
        if (x < 10 || x > scale.width - 10) {
            continue;
        }
        const QColor colour = QColor::fromRgb(MarkerColorRgb(kind));
        painter.setPen(QPen(colour, kMarkerPenWidth, Qt::DashLine));
        painter.drawLine(x, kMarkerLineTop, x, *bottom);
        painter.setPen(colour);
        painter.drawText(x + 4, kMarkerLineTop + 14, kLabel);
    }
    painter.restore();
}

bool SuggestionOverlay::Accept(CDrawView& view)
{
    CFileData& data = view.File().ScreenData().primary;
    const int width = PaintedWidth(view);
    BuildDepthPixelTable(data, width);
    const CursorScale scale = MakeCursorScale(data, width);
    if (!scale.Valid()) {
        return false;
    }
    for (const auto& [kind, depth] : Markers()) {
        const int entry = NearestEntry(data, depth);
        if (entry < 0) {
            return false;
        }
        // What a click on that sample leaves behind, then the context menu's command.
        view.PlaceMarkerAtSample(kind, entry, KeyCursorX(scale, data, entry));
    }
    Clear();
    view.update();
    return true;
}
