// export-xls: the Excel export of a file's vertical component, one file or a batch.
#ifdef ORVEK_WITH_QT

#include "cli/Batch.h"
#include "cli/CliCommon.h"
#include "cli/CliLoad.h"

#include "report/ExcelExport.h"

#include <iostream>
#include <memory>

namespace {

// The workbook of one file; returns the success notice.
std::string ExportXls(const std::string& path, const std::string& out)
{
    auto slot = std::make_unique<FileSlot>();
    LoadOrFail(*slot, path);
    const ExcelExportResult result = ExportToExcel(slot->primary, out);
    if (result != ExcelExportResult::Ok) {
        throw CliFailure(ExcelExportMessage(result));
    }
    return ExcelExportMessage(result);
}

}  // namespace

void AddExportCommands(CLI::App& app)
{
    auto* cmd = app.add_subcommand("export-xls", "Export depth, Z and Z gradient to Excel 97-2003 workbooks");
    auto paths = std::make_shared<std::vector<std::string>>();
    auto out = std::make_shared<std::string>();
    auto outputDir = std::make_shared<std::string>();
    cmd->add_option("FILE", *paths, "measurement files (.cdd)")->required();
    auto* output = cmd->add_option("-o,--output", *out, "workbook to write (.xls, one FILE); an existing one is replaced");
    auto* dir = cmd->add_option("--output-dir", *outputDir, "existing folder for the workbooks, one <name>.xls per FILE");
    output->excludes(dir);
    cmd->callback([=] {
        if (outputDir->empty() && (out->empty() || paths->size() != 1))
            throw CLI::ValidationError("export-xls", "give -o with one FILE, or --output-dir");
        if (outputDir->empty()) {
            std::cout << ExportXls(paths->front(), *out) << '\n';
            return;
        }
        RequireFolder(*outputDir);
        // One file after the other: the workbook container library is not known to be thread-safe.
        const int failed = RunBatch(*paths, 1, [&](const std::string& path) {
            return ExportXls(path, OutputPathIn(*outputDir, path, ".xls"));
        });
        if (failed > 0)
            throw CliExit(1);
    });
}

#endif
