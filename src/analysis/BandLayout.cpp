#include "analysis/BandLayout.h"

int UnitHeight(int shownComponents, int clientHeight)
{
    switch (shownComponents) {
    case 1:
        return (clientHeight - 40) / 3;
    case 2:
        return (clientHeight - 50) / 6;
    case 3:
        return (clientHeight - 60) / 9;
    default:
        return 0;
    }
}

int LowestBandBottom(int shownComponents, int unitHeight)
{
    if (shownComponents < 1 || shownComponents > 3)
        return 0;
    return shownComponents * (3 * unitHeight + 10);
}

int BandTop(int slot, int unitHeight)
{
    return 5 + (slot - 1) * (3 * unitHeight + 10);
}

BandRects BandRectsFor(int slot, int clientWidth, int clientHeight, int unitHeight)
{
    const int t = BandTop(slot, unitHeight);
    const int g = unitHeight;
    BandRects r;
    r.valueFrame = {10, t, clientWidth - 10, t + 2 * g};
    r.gradientFrame = {10, t + 2 * g + 5, clientWidth - 10, t + 3 * g + 5};
    r.componentTitle = {clientWidth - 200, t, clientWidth, clientHeight};
    r.gradientTitle = {clientWidth - 200, t + 2 * g + 10, clientWidth, clientHeight};
    return r;
}

int BandSlotOf(int c, bool showX, bool showY, bool showZ)
{
    switch (c) {
    case 1:
        return showX ? 1 : 0;
    case 2:
        return showY ? (showX ? 2 : 1) : 0;
    case 3:
        // Z always takes the lowest band.
        return showZ ? int(showX) + int(showY) + 1 : 0;
    default:
        return 0;
    }
}

int GridLineY(int bandTop, int unitHeight, int i)
{
    return bandTop + i * (2 * unitHeight / 5);
}

int GridLineX(int clientWidth, int i)
{
    return i * ((clientWidth - 20) / 5) + 10;
}

int64_t ValueLabel(int64_t top, int64_t bottom, int line, int slot)
{
    const int64_t r = top - bottom;
    int64_t label = bottom + ((5 - line) * r) / 5;
    if (label % 2 != 0)
        label += 1;
    // The outer bands show round hundreds; the middle band keeps the finer figure.
    if (slot == 1 || slot == 3)
        label = (label / 100) * 100;
    return label;
}

int DepthAxisLabelX(int clientWidth, int i)
{
    if (i <= 0)
        return 10;
    if (i >= 5)
        return clientWidth - 40;
    return i * ((clientWidth - 20) / 5) - 10;
}

float DepthAxisLabelValue(float a0, float a1, int i)
{
    return a0 + static_cast<float>(i) * (a1 - a0) / 5;
}

int DepthAxisMinorTickX(int clientWidth, int j)
{
    return (j * (clientWidth - 20)) / 50 + 10;
}
