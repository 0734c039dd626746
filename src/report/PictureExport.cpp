#include "report/PictureExport.h"

#include "analysis/Scales.h"
#include "data/Messages.h"
#include "report/BmpWriter.h"
#include "report/DataPage.h"
#include "report/PictureNames.h"
#include "report/ReportHeader.h"
#include "view/CDrawView.h"
#include "view/GdiContext.h"
#include "view/TextU16.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <limits>

namespace picture {

namespace {

// Margin of the stretched graph on either side of the page.
constexpr int kSideMargin = 100;
// Top of the header box of a data-table picture.
constexpr int kTableTop = 80;
// The text line height the picture layout is measured in.
constexpr int kLineHeight = 10;

// The pages were drawn into monochrome bitmaps, where text has no grey edges; smoothed edges
// would turn into black fringes when the page is reduced to black and white.
QFont PictureFont(int tenths)
{
    QFont font = gdi::PointFont(tenths);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

QImage WhitePage(const Screen& screen)
{
    QImage page(screen.size, QImage::Format_RGB32);
    if (!page.isNull())
        page.fill(Qt::white);
    return page;
}

// Copies the snapshot stretched to (left, top) and width x height, pixel for pixel like a
// stretching blit: no smoothing, which would blur the lines into grey. Nothing lands at or below
// clipBottom.
void DrawSnapshot(QPainter& painter, const QImage& snapshot, int left, int top, int width, int height,
                  int clipBottom = std::numeric_limits<int>::max())
{
    if (snapshot.isNull() || width <= 0 || height <= 0 || clipBottom <= top)
        return;
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    if (clipBottom < top + height)
        painter.setClipRect(QRect(left, top, width, clipBottom - top));
    painter.drawImage(QRect(left, top, width, height), snapshot);
    painter.restore();
}

// Title centred between left and right margins: x = (W - margin - cx - margin) / 2 + margin.
void DrawTitle(GdiContext& dc, const QString& title, int pageWidth, int margin, int y)
{
    const QSize extent = dc.GetTextExtent(title);
    dc.TextOut((pageWidth - margin - extent.width() - margin) / 2 + margin, y, title);
}

QString NativePath(const std::string& utf8)
{
    return QDir::toNativeSeparators(QString::fromStdString(utf8));
}

}  // namespace

Screen ScreenOf(const QWidget& view)
{
    Screen screen;
    const QScreen* s = view.screen();
    if (!s)
        s = QGuiApplication::primaryScreen();
    if (!s)
        return screen;
    // Device pixels, like the snapshot: on a scaled display both are counted alike.
    const qreal ratio = s->devicePixelRatio();
    screen.size = QSize(qRound(s->size().width() * ratio), qRound(s->size().height() * ratio));
    screen.depth = s->depth();
    screen.dpiY = qRound(s->logicalDotsPerInchY());
    return screen;
}

QImage Snapshot(QWidget& view)
{
    QImage image = view.grab().toImage();
    image.setDevicePixelRatio(1.0);
    return image;
}

int ScaledGraphHeight(int pageWidth, QSize snapshot)
{
    if (snapshot.width() <= 0 || snapshot.height() <= 0)
        return 0;
    const double u = static_cast<double>(pageWidth - 2 * kSideMargin) / snapshot.width() * snapshot.height();
    return static_cast<int>(std::clamp(u, 0.0, static_cast<double>(std::numeric_limits<int>::max() / 4)));
}

void DrawGraphPicture(QPainter& painter, const CDrawCanvas& view, const QImage& snapshot, const Screen& screen)
{
    const int W = screen.size.width();
    const int V = screen.size.height();
    const int u = ScaledGraphHeight(W, snapshot.size());
    const CFileData& data = view.File().ScreenData().primary;

    DrawSnapshot(painter, snapshot, kSideMargin, 30, W - 2 * kSideMargin, u);

    GdiContext dc(painter);
    dc.SetOpaqueBackground(false);
    dc.SetTextColor(Qt::black);
    dc.SelectFont(PictureFont(180));
    DrawTitle(dc, FromU16(data.m_strEngineeringName), W, 110, 10);

    // The table's column lines start 10 pixels left of its frame and its texts at W / 20, as the
    // pictures have always been laid out. Its white inside covers the foot of the graph.
    dc.SelectFont(PictureFont(150));
    reportheader::HeaderTableGeometry table;
    table.frame = reportheader::TableFrame{110, u + 20, W - 110, V - 10};
    table.gridLeft = kSideMargin;
    table.textLeft = W / 20;
    reportheader::DrawReportHeaderTable(dc, table, &data);
}

QImage RenderGraphPicture(const CDrawCanvas& view, const QImage& snapshot, const Screen& screen)
{
    QImage page = WhitePage(screen);
    if (page.isNull())
        return page;
    {
        QPainter painter(&page);
        DrawGraphPicture(painter, view, snapshot, screen);
    }
    return MonochromePage(page);
}

int DrawTablePicture(QPainter& painter, const CDrawCanvas& view, const QImage& snapshot, const Screen& screen,
                     int index)
{
    const int W = screen.size.width();
    const int u = ScaledGraphHeight(W, snapshot.size());
    const int rh = u / (datapage::kRowsPerGroup + datapage::kHeaderRows);
    const CFileData& data = view.File().ScreenData().primary;

    // Only the graph's top strip above the header box shows. The white header box and table were
    // meant to cover the rest, but they leave a gap between them and, on a short last page, most
    // of the graph below the table, where it would be read as part of the table.
    DrawSnapshot(painter, snapshot, kSideMargin, 10, W - 2 * kSideMargin, u, kTableTop);

    GdiContext dc(painter);
    dc.SetOpaqueBackground(false);
    dc.SetTextColor(Qt::black);
    dc.SelectFont(PictureFont(180));
    const QString title = FromU16(data.m_strEngineeringName);
    DrawTitle(dc, title, W, kSideMargin, 6 * kLineHeight - dc.GetTextExtent(title).height() / 2);

    const QFont tableFont = PictureFont(screen.dpiY > 360 ? 200 : 110);
    dc.SelectFont(tableFont);
    const int cy = dc.GetTextExtent(QStringLiteral("打印测试")).height();

    datapage::TableLayout layout;
    layout.rect = PanelRect{kSideMargin, kTableTop, W - kSideMargin, kTableTop};
    layout.headerGridLeft = kSideMargin;
    layout.headerTextLeft = W / 15;
    layout.rowHeight = rh;
    // The table starts at 2 x (rh + 4 x line height) + 10, 10 pixels below the header box.
    layout.tableGap = 2 * (rh + 4 * kLineHeight) + 10 - (kTableTop + 2 * rh);
    layout.titleMeasure = QStringLiteral("打印测试");
    layout.cellDy = (rh - cy) / 2;
    layout.headerFont = tableFont;
    layout.depthFont = tableFont;
    layout.valueFont = tableFont;

    // Picture i holds what data page i + 1 of a print would, with no limit on the count of pages.
    // The notes are left out, as on the printed data page; the graph picture shows them in a row
    // of their own.
    const datapage::PageSamples samples =
        datapage::SamplesOnPage(RawEntries(data), true, index + 1, datapage::kRowsPerGroup);
    return datapage::DrawDataTable(dc, layout, data, &data, samples);
}

QImage RenderTablePicture(const CDrawCanvas& view, const QImage& snapshot, const Screen& screen, int index)
{
    QImage page = WhitePage(screen);
    if (page.isNull())
        return page;
    {
        QPainter painter(&page);
        DrawTablePicture(painter, view, snapshot, screen, index);
    }
    return MonochromePage(page);
}

Result SavePictures(CDrawCanvas& view, const QImage& snapshot, const Screen& screen)
{
    Result result;
    const std::string filePath = view.File().FilePath().toStdString();
    const int bits = BmpBitsForDisplayDepth(screen.depth);
    const int tables = TablePictureCount(static_cast<uint32_t>(RawEntries(view.File().ScreenData().primary)));

    auto write = [&](const QImage& page, const std::string& utf8Path) {
        const std::string path = QFile::encodeName(QString::fromStdString(utf8Path)).toStdString();
        if (WriteBmp(page, bits, path) == BmpWriteResult::Ok) {
            result.written.append(NativePath(utf8Path));
            return true;
        }
        result.failure = QString::fromUtf8(msg::kCannotCreate) + QStringLiteral("：") + NativePath(utf8Path);
        return false;
    };

    if (filePath.empty()) {
        result.failure = QString::fromUtf8(msg::kInvalidFile);
    } else if (write(RenderGraphPicture(view, snapshot, screen), GraphPicturePath(filePath))) {
        for (int i = 0; i < tables; ++i)
            if (!write(RenderTablePicture(view, snapshot, screen, i), TablePicturePath(filePath, i)))
                break;
    }

    view.Invalidate();
    if (result.Ok())
        result.notice =
            QString::fromStdString(PictureNoticeText(QDir::toNativeSeparators(view.File().FilePath()).toStdString()));
    return result;
}

}  // namespace picture
