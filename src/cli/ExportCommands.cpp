// export-xls: the Excel export of a file's vertical component.
#ifdef ORVEK_WITH_QT

#include "cli/CliCommon.h"
#include "cli/CliLoad.h"

#include "report/ExcelExport.h"

#include <iostream>
#include <memory>

namespace {

void RunExportXls(const std::string& path, const std::string& out)
{
    auto slot = std::make_unique<FileSlot>();
    LoadOrFail(*slot, path);
    const ExcelExportResult result = ExportToExcel(slot->primary, out);
    if (result != ExcelExportResult::Ok) {
        throw CliFailure(ExcelExportMessage(result));
    }
    std::cout << ExcelExportMessage(result) << '\n';
}

}  // namespace

void AddExportCommands(CLI::App& app)
{
    auto* cmd = app.add_subcommand("export-xls", "Export depth, Z and Z gradient to an Excel 97-2003 workbook");
    auto path = std::make_shared<std::string>();
    auto out = std::make_shared<std::string>();
    cmd->add_option("FILE", *path, "measurement file (.cdd)")->required();
    cmd->add_option("-o,--output", *out, "workbook to write (.xls); an existing one is replaced")->required();
    cmd->callback([=] { RunExportXls(*path, *out); });
}

#endif
