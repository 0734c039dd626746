#include "app/CStatusLine.h"

#include "app/CStatusPane.h"
#include "app/ShellTexts.h"

#include <QEvent>

#include <algorithm>
#include <numeric>

namespace {

constexpr int kSpacing = 4;
constexpr int kPanes = 9;

// The cap c with sum(min(need, c)) <= available, as large as it can be.
int WaterLevel(const std::vector<int>& needs, int available)
{
    std::vector<int> sorted = needs;
    std::sort(sorted.begin(), sorted.end());
    int used = 0;
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        const int rest = int(sorted.size() - i);
        if (used + sorted[i] * rest > available)
            return std::max(0, (available - used) / rest);
        used += sorted[i];
    }
    return sorted.empty() ? 0 : sorted.back();
}

}  // namespace

CStatusLine::CStatusLine(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("statusLine"));
    auto* message = new CStatusPane(texts::kReady, this);
    message->setObjectName(QStringLiteral("messagePane"));
    m_panes.push_back(message);
    for (int i = 0; i < kPanes; ++i)
        m_panes.push_back(new CStatusPane(QStringLiteral(" "), this));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

std::vector<int> CStatusLine::ShareWidths(const std::vector<int>& needs, int available, int floor)
{
    std::vector<int> widths(needs.size(), 0);
    if (needs.empty())
        return widths;
    available = std::max(0, available);
    const int total = std::accumulate(needs.begin(), needs.end(), 0);
    if (total <= available) {
        widths = needs;
        widths[0] += available - total;
        return widths;
    }
    int kept = 0;
    for (std::size_t i = 1; i < needs.size(); ++i)
        kept += std::min(needs[i], floor);
    widths[0] = std::clamp(available - kept, 0, needs[0]);
    const std::vector<int> others(needs.begin() + 1, needs.end());
    const int rest = available - widths[0];
    const int cap = WaterLevel(others, rest);
    int used = 0;
    for (std::size_t i = 1; i < needs.size(); ++i) {
        widths[i] = std::min(needs[i], cap);
        used += widths[i];
    }
    // Pixels the cap left over go to the cut panes from the left, then to the message.
    int spare = rest - used;
    for (std::size_t i = 1; i < needs.size() && spare > 0; ++i) {
        if (widths[i] < needs[i]) {
            ++widths[i];
            --spare;
        }
    }
    widths[0] += std::max(0, spare);
    return widths;
}

void CStatusLine::ShowTip(const QString& tip)
{
    CStatusPane* message = MessagePane();
    if (!tip.isEmpty()) {
        if (!m_bTipShown)
            m_strMessage = message->text();
        m_bTipShown = true;
        message->SetPaneText(tip);
    } else if (m_bTipShown) {
        m_bTipShown = false;
        message->SetPaneText(m_strMessage);
    }
}

QSize CStatusLine::sizeHint() const
{
    int width = 0;
    int height = 0;
    for (const CStatusPane* pane : m_panes) {
        const QSize hint = pane->sizeHint();
        width += hint.width() + kSpacing;
        height = std::max(height, hint.height());
    }
    return {width, height};
}

QSize CStatusLine::minimumSizeHint() const
{
    // The panes give way down to nothing rather than hold the window wide.
    return {0, sizeHint().height()};
}

bool CStatusLine::event(QEvent* event)
{
    // A pane's new text asks its parent for a new layout.
    if (event->type() == QEvent::LayoutRequest)
        LayOutPanes();
    return QWidget::event(event);
}

void CStatusLine::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    LayOutPanes();
}

void CStatusLine::LayOutPanes()
{
    std::vector<int> needs;
    needs.reserve(m_panes.size());
    for (const CStatusPane* pane : m_panes)
        needs.push_back(pane->sizeHint().width());
    const int available = width() - kSpacing * int(m_panes.size() - 1);
    const int floor = 4 * fontMetrics().height();
    const std::vector<int> widths = ShareWidths(needs, available, floor);
    int x = 0;
    for (std::size_t i = 0; i < m_panes.size(); ++i) {
        m_panes[i]->setGeometry(x, 0, widths[i], height());
        x += widths[i] + kSpacing;
    }
}
