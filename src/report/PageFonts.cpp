#include "report/PageFonts.h"

#include "view/GdiContext.h"

#include <QFontMetrics>

namespace pagefont {

QFont PageFont(int dpiY)
{
    return gdi::PointFont(dpiY > kFineResolution ? 600 : 380);
}

QFont TitleFont()
{
    return gdi::PointFont(200);
}

QFont DataFontA(int dpiY)
{
    return gdi::PointFont(dpiY > kFineResolution ? 460 : 300);
}

QFont DataFontB(int dpiY)
{
    return CellHeightFont(dpiY > kFineResolution ? 74 : 38, 600);
}

QFont CellHeightFont(int cellHeight, int weight)
{
    gdi::RegisterFontSubstitutes();
    QFont font(QString::fromUtf16(gdi::kFaceSongTi));
    font.setStyleHint(QFont::SansSerif);
    font.setWeight(static_cast<QFont::Weight>(weight));
    // 宋体's cell is its em, so the requested cell height is the pixel size.
    font.setPixelSize(cellHeight > 0 ? cellHeight : 1);
    return font;
}

int SongTiCellHeight(const QFont& font)
{
    if (font.pixelSize() > 0)
        return font.pixelSize();
    return QFontMetrics(font).height();
}

}  // namespace pagefont
