// summary: the summary of results of a site's piles, one row per measurement file.
#include "cli/Batch.h"
#include "cli/CliCommon.h"
#include "cli/CliLoad.h"

#include "analysis/SiteSummary.h"
#include "data/Messages.h"
#include "data/PathUtil.h"
#include "report/SummaryPages.h"
#include "report/SummaryWorkbooks.h"

#include <QDate>
#include <QFile>

#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

namespace {

struct SummaryRequest {
    std::vector<std::string> inputs;
    bool csv = false;
    bool json = false;
    std::string xlsx;
    std::string xls;
    std::string pdf;
    SummarySettings settings;
};

// A folder stands for its ".cdd" files; anything else is taken as a file (and gets a row saying it
// cannot be read when it is none).
std::vector<std::string> ExpandInputs(const std::vector<std::string>& inputs)
{
    std::vector<std::string> files;
    for (const std::string& input : inputs) {
        std::error_code ec;
        if (std::filesystem::is_directory(NativePath(input), ec)) {
            const std::vector<std::string> inFolder = CddFilesIn(input);
            files.insert(files.end(), inFolder.begin(), inFolder.end());
        } else {
            files.push_back(input);
        }
    }
    return files;
}

std::string JsonLine(const SummaryRow& row)
{
    const auto cells = SummaryCells(row);
    std::string line = "{";
    for (std::size_t c = 0; c < kSummaryColumns; ++c) {
        line += (c ? ", " : "") + JsonString(std::string(kSummaryKeys[c])) + ": ";
        const auto column = SummaryColumn(c);
        if (column == SummaryColumn::Joints) {
            line += "[";
            for (std::size_t k = 0; k < row.joints.size(); ++k)
                line += (k ? ", " : "") + MetresText(row.joints[k]);
            line += "]";
        } else if (cells[c].empty()) {
            line += "null";
        } else {
            line += IsNumberColumn(column) ? cells[c] : JsonString(cells[c]);
        }
    }
    return line + "}\n";
}

// The folder the files were given in names the printed table when no engineering name is shared.
std::string FolderName(const std::vector<std::string>& inputs)
{
    std::error_code ec;
    std::filesystem::path first = std::filesystem::absolute(NativePath(inputs.front()), ec).lexically_normal();
    if (!std::filesystem::is_directory(first, ec) || !first.has_filename())
        first = first.parent_path();
    if (!first.has_filename())
        first = first.parent_path();
    return Utf8Path(first.filename());
}

void RunSummary(const SummaryRequest& request)
{
    const std::vector<SummaryRow> rows = SummariseFiles(ExpandInputs(request.inputs), request.settings, DefaultJobs());

    bool failed = false;
    if (!request.xlsx.empty() && !WriteSummaryXlsx(request.xlsx, rows))
        failed = true;
    if (!request.xls.empty() && !WriteSummaryXls(request.xls, rows))
        failed = true;
    if (!request.pdf.empty()) {
        EnsureGuiApplication(false);
        SummaryDocument doc;
        doc.title = QString::fromStdString(SummaryTitle(rows, FolderName(request.inputs)));
        doc.rule = QString::fromStdString(SummaryRuleText(request.settings));
        doc.printDate = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
        doc.rows = &rows;
        if (!WriteSummaryPdf(QFile::decodeName(QByteArray::fromStdString(request.pdf)), doc))
            failed = true;
    }

    if (request.json) {
        for (const SummaryRow& row : rows)
            std::cout << JsonLine(row);
    } else {
        std::cout << SummaryCsvText(rows);
    }
    std::cout.flush();
    if (failed)
        throw CliFailure(msg::kCannotCreate);
}

}  // namespace

void AddSummaryCommand(CLI::App& app)
{
    auto* cmd = app.add_subcommand("summary", "Summary of results of a set of measurement files");
    auto request = std::make_shared<SummaryRequest>();
    cmd->add_option("FILE", request->inputs, "measurement files (.cdd), or folders standing for their .cdd files")
        ->required();
    auto* csv =
        cmd->add_flag("--csv", request->csv, "CSV (UTF-8 with a byte-order mark) on standard output (the default)");
    cmd->add_flag("--json", request->json, "one JSON object per file and line")->excludes(csv);
    cmd->add_option("--xlsx", request->xlsx, "write the table as an Excel 2007 workbook (.xlsx)");
    cmd->add_option("--xls", request->xls, "write the table as an Excel 97-2003 workbook (.xls)");
    cmd->add_option("--pdf", request->pdf, "write the printed table as PDF (A4 landscape)");
    cmd->add_option("--cage-top", request->settings.cageTop, "depth of the cage top in metres (default 0)");
    cmd->add_option("--tolerance", request->settings.tolerance,
                    "how much shorter than designed a cage may be, in metres (default 0.10)");
    cmd->callback([request] { RunSummary(*request); });
}
