#include "view/FrameState.h"

bool FrameState::SetShownLetters(const QString& letters)
{
    bool x = false, y = false, z = false;
    for (const QChar ch : letters) {
        switch (ch.toUpper().unicode()) {
        case u'X': x = true; break;
        case u'Y': y = true; break;
        case u'Z': z = true; break;
        default: return false;
        }
    }
    m_bShowX = x;
    m_bShowY = y;
    m_bShowZ = z;
    m_nShownComponents = int(x) + int(y) + int(z);
    return true;
}
