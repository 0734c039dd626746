// pictures: the picture export of files, written beside each of them.
#include "cli/Batch.h"
#include "cli/CliCommon.h"
#include "cli/RenderCommand.h"

#include "data/Messages.h"
#include "report/PictureExport.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>

#include <iostream>
#include <memory>

namespace {

// orvek-cli has no display to ask; the pictures are made for a 32-bit one, the common case.
constexpr int kScreenDepth = 32;

struct PicturesRequest {
    std::vector<std::string> paths;
    QSize screen{1920, 1080};
    QSize view{1600, 900};
};

// The pictures of one file; returns the notice text.
std::string SavePicturesOf(const std::string& file, const PicturesRequest& request)
{
    const QString path = QFileInfo(QFile::decodeName(QByteArray::fromStdString(file))).absoluteFilePath();
    // The view as the desktop program holds it after opening the file and painting it once.
    QImage snapshot(request.view, QImage::Format_RGB32);
    const std::unique_ptr<OpenedFile> opened = PaintOpenedFile(path, QStringLiteral("Z"), 1, snapshot);

    picture::Screen screen;
    screen.size = request.screen;
    screen.depth = kScreenDepth;
    const picture::Result result = picture::SavePictures(opened->canvas, snapshot, screen);
    if (!result.Ok())
        throw CliFailure(result.failure.toStdString());
    return result.notice.toStdString();
}

}  // namespace

void AddPicturesCommand(CLI::App& app)
{
    auto* cmd = app.add_subcommand(
        "pictures", "Save the graph and data-table pictures (32-bit BMP, black and white) beside each file");
    auto request = std::make_shared<PicturesRequest>();
    auto screenText = std::make_shared<std::string>("1920x1080");
    auto viewText = std::make_shared<std::string>("1600x900");
    auto jobs = std::make_shared<int>(DefaultJobs());
    const auto sizeCheck = [](const std::string& v) {
        QSize size;
        return ParseRenderSize(v, size) ? std::string() : "not a size WxH (1..16384 each): '" + v + "'";
    };
    cmd->add_option("FILE", request->paths, "measurement files (.cdd)")->required();
    cmd->add_option("--screen", *screenText, "screen size WxH in pixels, the size of every picture (default 1920x1080)")
        ->check(sizeCheck);
    cmd->add_option("--view", *viewText, "graph view client area WxH in pixels (default 1600x900)")->check(sizeCheck);
    cmd->add_option("--jobs", *jobs, "files exported at the same time (default: one per core)")
        ->check(CLI::Range(1, 256));
    cmd->callback([=] {
        PicturesRequest r = *request;
        ParseRenderSize(*screenText, r.screen);
        ParseRenderSize(*viewText, r.view);
        EnsureGuiApplication(false);
        if (r.paths.size() == 1) {
            std::cout << SavePicturesOf(r.paths.front(), r) << '\n';
            return;
        }
        if (RunBatch(r.paths, *jobs, [&](const std::string& file) { return SavePicturesOf(file, r); }) > 0)
            throw CliExit(1);
    });
}
