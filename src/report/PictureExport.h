#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

class CDrawCanvas;
class QPainter;
class QWidget;

// "保存图片" (32815): the file on display saved as black-and-white BMP pictures beside it, each a
// page of the screen's size - the graph as the view shows it with the title and the report header
// table (suffix 1), and one data table per 168 samples (suffixes 2, 3, ...). Nothing is drawn on
// the window and no dialog is shown here: the caller shows the notice (CSavePicDlg) or the
// failure message.
//
// Typical use by the application:
//   const picture::Result result = picture::SavePictures(view, picture::Snapshot(view), picture::ScreenOf(view));
//   if (!result.Ok()) prompts.Message(result.failure); else show CSavePicDlg(result.notice, ...)
namespace picture {

// The display the pictures are made for: a page is as large as the screen and the pictures take
// the depth of its pixels.
struct Screen {
    QSize size{1920, 1080};  // pixels
    int depth = 32;          // bits per pixel of the display
    int dpiY = 96;           // logical resolution; a table font of 20 points above 360, else 11
};

// The screen the view's window is on; the default screen when it has none.
Screen ScreenOf(const QWidget& view);

// The view's client area as it is on screen (with the cursor, the markers, or the table in table
// mode), in device pixels.
QImage Snapshot(QWidget& view);

// Height of the snapshot stretched to the page width less 200: trunc((W - 200) / w x h), 0 for an
// empty snapshot.
int ScaledGraphHeight(int pageWidth, QSize snapshot);

// The graph picture and data-table picture index (0-based) of the file on display as monochrome
// pages.
QImage RenderGraphPicture(const CDrawCanvas& view, const QImage& snapshot, const Screen& screen);
QImage RenderTablePicture(const CDrawCanvas& view, const QImage& snapshot, const Screen& screen, int index);
// What the two above draw on their white page, on any painter; the table picture returns the
// rows of its table.
void DrawGraphPicture(QPainter& painter, const CDrawCanvas& view, const QImage& snapshot, const Screen& screen);
int DrawTablePicture(QPainter& painter, const CDrawCanvas& view, const QImage& snapshot, const Screen& screen,
                     int index);

struct Result {
    QStringList written;  // pictures written, the graph picture first
    QString notice;       // "图片已保存至…" on success
    QString failure;      // the message for the operator when a picture could not be written
    bool Ok() const { return failure.isEmpty(); }
};

// Renders and writes every picture. A picture that cannot be written stops the save with
// "无法创建文件" and its name; an existing picture of that name is left as it was. The view is
// invalidated either way.
Result SavePictures(CDrawCanvas& view, const QImage& snapshot, const Screen& screen);

}  // namespace picture
