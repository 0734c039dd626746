// export-las: the samples of a file as a LAS 2.0 log.
#include "cli/CliCommon.h"

#include "analysis/WellLogExport.h"

#include <iostream>
#include <memory>

namespace {

struct ExportLasRequest {
    std::string path;
    std::string out;
    int window = 1;
};

void RunExportLas(const ExportLasRequest& request)
{
    const WellLogExportResult result = ExportWellLog(request.path, request.out, request.window, WellLogFormat::Las);
    if (!result.ok)
        throw CliFailure(result.message);
    std::cout << result.message << '\n';
}

}  // namespace

void AddExportLasCommand(CLI::App& app)
{
    auto* cmd = app.add_subcommand("export-las", "Write the samples as a LAS 2.0 well log");
    auto request = std::make_shared<ExportLasRequest>();
    cmd->add_option("FILE", request->path, "measurement file (.cdd)")->required();
    cmd->add_option("-o,--output", request->out, "log to write (.las); an existing one is replaced")->required();
    cmd->add_option("--smooth", request->window, "smoothing points (1..10)")->check(CLI::Range(1, 10));
    cmd->callback([request] { RunExportLas(*request); });
}
