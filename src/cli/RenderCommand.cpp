// render: the graph view painted off-screen into PNG pictures, one file or a batch.
#include "cli/RenderCommand.h"

#include "cli/Batch.h"
#include "cli/CliCommon.h"

#include "data/Messages.h"
#include "report/PngWriter.h"

#include <QFileInfo>

#include <charconv>
#include <memory>

namespace {

constexpr int kMaxRenderSide = 16384;
constexpr int kMaxJobs = 256;

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

bool ParseRenderScale(const std::string& text, double& scale)
{
    double value = 0.0;
    const auto res = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || res.ec != std::errc() || res.ptr != text.data() + text.size())
        return false;
    for (double allowed : {1.0, 1.25, 1.5, 2.0}) {
        if (value == allowed) {
            scale = value;
            return true;
        }
    }
    return false;
}

std::unique_ptr<OpenedFile> PaintOpenedFile(const QString& absolutePath, const QString& show, int smoothWindow,
                                            QImage& image)
{
    if (image.isNull())
        throw CliFailure(msg::kCannotCreate);
    auto opened = std::make_unique<OpenedFile>();
    opened->frame.SetShownLetters(show);
    CDrawCanvas& canvas = opened->canvas;
    canvas.SetFrame(&opened->frame);
    canvas.SetReadsConfiguration(false);
    // As choosing the file does, with the smoothing window asked for. The canvas only re-reads a
    // file whose folder it knows, as with every path the desktop program hands it.
    canvas.ShowFile(absolutePath, QFileInfo(absolutePath).absolutePath());
    canvas.File().ScreenData().primary.m_nSmoothWindow = smoothWindow;
    canvas.PaintInto(image);
    // The paint goes on with an empty slot after a failed load; the message is the outcome.
    if (!canvas.LastLoadProblem().isEmpty())
        throw CliFailure(canvas.LastLoadProblem().toStdString());
    return opened;
}

QImage RenderGraph(const RenderRequest& request)
{
    // The paint itself runs at the logical size; the image's ratio gives it the finer pixels.
    QImage image(request.size * request.scale, QImage::Format_RGB32);
    image.setDevicePixelRatio(request.scale);
    const QString path = QFileInfo(QString::fromStdString(request.path)).absoluteFilePath();
    PaintOpenedFile(path, request.show, request.smoothWindow, image);
    return image;
}

void RunRender(const RenderRequest& request)
{
    if (WritePng(RenderGraph(request), request.output) != PngWriteResult::Ok)
        throw CliFailure(msg::kCannotCreate);
}

void AddRenderCommand(CLI::App& app)
{
    auto* cmd = app.add_subcommand("render", "Paint the graph view of files into PNG pictures");
    auto request = std::make_shared<RenderRequest>();
    auto files = std::make_shared<std::vector<std::string>>();
    auto outputDir = std::make_shared<std::string>();
    auto jobs = std::make_shared<int>(DefaultJobs());
    auto sizeText = std::make_shared<std::string>("1280x720");
    auto showText = std::make_shared<std::string>("Z");
    auto scaleText = std::make_shared<std::string>("1");
    cmd->add_option("FILE", *files, "measurement files (.cdd)")->required();
    auto* output = cmd->add_option("-o,--output", request->output, "PNG file to write (one FILE)");
    auto* dir = cmd->add_option("--output-dir", *outputDir, "existing folder for the pictures, one <name>.png per FILE");
    output->excludes(dir);
    cmd->add_option("--jobs", *jobs, "files painted at the same time (default: one per core)")
        ->check(CLI::Range(1, kMaxJobs));
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
    cmd->add_option("--scale", *scaleText,
                    "device pixel ratio F: 1, 1.25, 1.5 or 2 (default 1); the picture is F times the size, "
                    "painted at that ratio")
        ->check([](const std::string& v) {
            double scale = 1.0;
            return ParseRenderScale(v, scale) ? std::string() : "not one of 1, 1.25, 1.5, 2: '" + v + "'";
        });
    cmd->callback([=] {
        RenderRequest r = *request;
        ParseRenderSize(*sizeText, r.size);
        ParseRenderScale(*scaleText, r.scale);
        r.show = QString::fromStdString(*showText);
        if (outputDir->empty() && (r.output.empty() || files->size() != 1))
            throw CLI::ValidationError("render", "give -o with one FILE, or --output-dir");
        EnsureGuiApplication(false);
        if (outputDir->empty()) {
            r.path = files->front();
            RunRender(r);
            return;
        }
        RequireFolder(*outputDir);
        const int failed = RunBatch(*files, *jobs, [&](const std::string& path) {
            RenderRequest one = r;
            one.path = path;
            one.output = OutputPathIn(*outputDir, path, ".png");
            RunRender(one);
            return std::string();
        });
        if (failed > 0)
            throw CliExit(1);
    });
}
