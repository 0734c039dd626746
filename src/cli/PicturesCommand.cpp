// pictures: the picture export of a file, written beside it.
#include "cli/CliCommon.h"
#include "cli/CliLoad.h"
#include "cli/RenderCommand.h"

#include "data/Messages.h"
#include "data/PathUtil.h"
#include "report/PictureExport.h"
#include "view/CDrawView.h"
#include "view/FrameState.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>

#include <iostream>
#include <memory>

namespace {

// orvek-cli has no display to ask; the pictures are made for a 32-bit one, the common case.
constexpr int kScreenDepth = 32;

struct PicturesRequest {
    std::string path;
    QSize screen{1920, 1080};
    QSize view{1600, 900};
};

void RunPictures(const PicturesRequest& request)
{
    {
        auto probe = std::make_unique<FileSlot>();
        LoadOrFail(*probe, request.path);
    }

    EnsureGuiApplication();
    FrameState frame;
    const QString path = QFileInfo(QFile::decodeName(QByteArray::fromStdString(request.path))).absoluteFilePath();

    // The view as the desktop program holds it after opening the file and painting it once.
    auto view = std::make_unique<CDrawView>();
    view->SetFrame(&frame);
    view->SetReadsConfiguration(false);
    view->m_strFilePath = path;
    view->m_strFolder = QFileInfo(path).absolutePath();
    view->m_reloadFile = 1;
    view->ResetMarkers();
    view->m_screenData.primary.m_nSmoothWindow = 1;

    QImage snapshot(request.view, QImage::Format_RGB32);
    if (snapshot.isNull())
        throw CliFailure(msg::kCannotCreate);
    view->PaintInto(snapshot);
    if (!view->LastLoadProblem().isEmpty())
        throw CliFailure(view->LastLoadProblem().toStdString());

    picture::Screen screen;
    screen.size = request.screen;
    screen.depth = kScreenDepth;
    const picture::Result result = picture::SavePictures(*view, snapshot, screen);
    if (!result.Ok())
        throw CliFailure(result.failure.toStdString());
    std::cout << result.notice.toStdString() << '\n';
}

}  // namespace

void AddPicturesCommand(CLI::App& app)
{
    auto* cmd = app.add_subcommand(
        "pictures", "Save the graph and data-table pictures (32-bit BMP, black and white) beside a file");
    auto request = std::make_shared<PicturesRequest>();
    auto screenText = std::make_shared<std::string>("1920x1080");
    auto viewText = std::make_shared<std::string>("1600x900");
    const auto sizeCheck = [](const std::string& v) {
        QSize size;
        return ParseRenderSize(v, size) ? std::string() : "not a size WxH (1..16384 each): '" + v + "'";
    };
    cmd->add_option("FILE", request->path, "measurement file (.cdd)")->required();
    cmd->add_option("--screen", *screenText, "screen size WxH in pixels, the size of every picture (default 1920x1080)")
        ->check(sizeCheck);
    cmd->add_option("--view", *viewText, "graph view client area WxH in pixels (default 1600x900)")->check(sizeCheck);
    cmd->callback([=] {
        PicturesRequest r = *request;
        ParseRenderSize(*screenText, r.screen);
        ParseRenderSize(*viewText, r.view);
        RunPictures(r);
    });
}
