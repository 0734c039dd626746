// render: the graph view painted off-screen into a PNG picture.
#include "cli/RenderCommand.h"

#include "cli/CliCommon.h"
#include "cli/CliLoad.h"

#include "data/Messages.h"
#include "data/PathUtil.h"
#include "view/CDrawView.h"
#include "view/FrameState.h"

#include <QFileInfo>
#include <QImage>

#include <charconv>
#include <memory>

namespace {

constexpr int kMaxRenderSide = 16384;

bool ParseSide(std::string_view text, int& value)
{
    if (text.empty())
        return false;
    const auto res = std::from_chars(text.data(), text.data() + text.size(), value);
    return res.ec == std::errc() && res.ptr == text.data() + text.size() && value >= 1 && value <= kMaxRenderSide;
}

}  // namespace

bool ParseRenderSize(const std::string& text, QSize& size)
{
    const std::size_t x = text.find_first_of("xX");
    if (x == std::string::npos)
        return false;
    int w = 0, h = 0;
    if (!ParseSide(std::string_view(text).substr(0, x), w) || !ParseSide(std::string_view(text).substr(x + 1), h))
        return false;
    size = QSize(w, h);
    return true;
}

void RunRender(const RenderRequest& request)
{
    // The paint reports nothing of a failed load, so find out first, with the messages the
    // desktop program would show for this file.
    {
        auto probe = std::make_unique<FileSlot>();
        LoadOrFail(*probe, request.path);
    }

    EnsureGuiApplication();
    FrameState frame;
    frame.SetShownLetters(request.show);

    // The view only re-reads a file whose folder it knows, as with every path the desktop
    // program hands it.
    const std::string path = QFileInfo(QString::fromStdString(request.path)).absoluteFilePath().toStdString();

    auto view = std::make_unique<CDrawView>();
    view->SetFrame(&frame);
    view->SetReadsConfiguration(false);
    // As choosing the file does: path and folder, a reload request, smoothing window.
    view->m_strFilePath = QString::fromStdString(path);
    view->m_strFolder = QString::fromStdString(FolderOf(path));
    view->m_reloadFile = 1;
    view->m_reloadOnSwitch = 0;
    view->ResetMarkers();
    view->m_screenData.primary.m_nSmoothWindow = request.smoothWindow;

    QImage image(request.size, QImage::Format_RGB32);
    if (image.isNull())
        throw CliFailure(msg::kCannotCreate);
    view->PaintInto(image);
    if (!view->LastLoadProblem().isEmpty())
        throw CliFailure(view->LastLoadProblem().toStdString());

    if (!image.save(QString::fromStdString(request.output), "PNG"))
        throw CliFailure(msg::kCannotCreate);
}

void AddRenderCommand(CLI::App& app)
{
    auto* cmd = app.add_subcommand("render", "Paint the graph view of a file into a PNG picture");
    auto request = std::make_shared<RenderRequest>();
    auto sizeText = std::make_shared<std::string>("1280x720");
    auto showText = std::make_shared<std::string>("Z");
    cmd->add_option("FILE", request->path, "measurement file (.cdd)")->required();
    cmd->add_option("-o,--output", request->output, "PNG file to write")->required();
    cmd->add_option("--size", *sizeText, "client area WxH in pixels (default 1280x720)")
        ->check([](const std::string& v) {
            QSize size;
            return ParseRenderSize(v, size) ? std::string() : "not a size WxH (1..16384 each): '" + v + "'";
        });
    cmd->add_option("--show", *showText, "components shown, a subset of the letters X, Y, Z (default Z)")
        ->check([](const std::string& v) {
            FrameState probe;
            return probe.SetShownLetters(QString::fromStdString(v)) ? std::string()
                                                                      : "not a subset of X, Y, Z: '" + v + "'";
        });
    cmd->add_option("--smooth", request->smoothWindow, "smoothing points (1..10)")->check(CLI::Range(1, 10));
    cmd->callback([=] {
        RenderRequest r = *request;
        ParseRenderSize(*sizeText, r.size);
        r.show = QString::fromStdString(*showText);
        RunRender(r);
    });
}
