#pragma once

#include "view/CDrawCanvas.h"
#include "view/FrameState.h"

#include <QImage>
#include <QSize>
#include <QString>

#include <memory>
#include <string>

// What `orvek-cli render` paints: the graph view of one file as the first paint after opening it
// would show it.
struct RenderRequest {
    std::string path;
    std::string output;
    QSize size{1280, 720};
    QString show = QStringLiteral("Z");
    int smoothWindow = 1;
    // Device pixel ratio: the picture is size x scale pixels, painted at that ratio.
    double scale = 1.0;
};

// The graph view of a file as the desktop program holds it after choosing the file and painting
// once, without a window.
struct OpenedFile {
    FrameState frame;
    CDrawCanvas canvas;
};

// Chooses absolutePath on a fresh canvas (smoothing window, shown components) and runs its first
// paint into image. Throws CliFailure with the program's message when the file cannot be loaded
// or image is null. Safe on any thread once the application object exists.
std::unique_ptr<OpenedFile> PaintOpenedFile(const QString& absolutePath, const QString& show, int smoothWindow,
                                            QImage& image);

// The picture of the request; throws CliFailure as above.
QImage RenderGraph(const RenderRequest& request);

// RenderGraph written to request.output as PNG; throws CliFailure("无法创建文件") when it cannot be
// written, leaving an old picture there as it was.
void RunRender(const RenderRequest& request);

// "WxH" with both sides from 1 to 16384; false otherwise.
bool ParseRenderSize(const std::string& text, QSize& size);
// A scale the pictures are painted at: 1, 1.25, 1.5 or 2; false otherwise.
bool ParseRenderScale(const std::string& text, double& scale);
