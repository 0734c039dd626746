#pragma once

#include "view/IFrameState.h"

#include <QString>

// A frame without a window: the mode and switches as plain fields.
struct FrameState final : IFrameState {
    int m_nViewMode = cmd::kGraphMode;
    bool m_bShowX = false;
    bool m_bShowY = false;
    bool m_bShowZ = true;
    int m_nShownComponents = 1;

    // Switches from a subset of the letters X, Y, Z (either case); false on any other character.
    bool SetShownLetters(const QString& letters);

    int ViewMode() const override { return m_nViewMode; }
    bool ShowX() const override { return m_bShowX; }
    bool ShowY() const override { return m_bShowY; }
    bool ShowZ() const override { return m_bShowZ; }
    int ShownComponents() const override { return m_nShownComponents; }
};
