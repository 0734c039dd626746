#pragma once

#include <QSize>
#include <QString>

#include <string>

// What `orvek-cli render` paints: the graph view of one file as the first paint after opening it
// would show it.
struct RenderRequest {
    std::string path;
    std::string output;
    QSize size{1280, 720};
    QString show = QStringLiteral("Z");
    int smoothWindow = 1;
};

// Paints and writes the PNG; throws CliFailure with the program's message when the file cannot
// be loaded or the picture cannot be written.
void RunRender(const RenderRequest& request);

// "WxH" with both sides from 1 to 16384; false otherwise.
bool ParseRenderSize(const std::string& text, QSize& size);
