#include "report/PageFonts.h"

#include "view/GdiContext.h"

#include <QFontMetrics>

#include <algorithm>

namespace pagefont {

QFont PageFont(int dpiY)
{
    return gdi::PointFont(dpiY > kFineResolution ? 600 : 380);
}

QFont TitleFont(int dpiY)
{
    // 20 points on paper. The title is the one text of the page that was never given a printer
    // size: converted at 96 dpi it came out 3 points high at 600 dpi.
    gdi::RegisterFontSubstitutes();
    QFont font(QString::fromUtf16(gdi::kFaceSongTi));
    const int pixels = (200 * std::max(dpiY, 1) + 360) / 720;
    font.setPixelSize(pixels > 0 ? pixels : 1);
    return font;
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
