// save-report: the report values stored in a file, the dialog's values where none are given.
#include "cli/CliCommon.h"
#include "cli/CliLoad.h"

#include "data/MeasurementFile.h"
#include "data/Messages.h"
#include "data/TextCodec.h"
#include "report/ReportFields.h"

#include <iostream>
#include <map>
#include <memory>

namespace {

struct ReportOptions {
    std::map<std::string, std::string> given;  // option name -> UTF-8 text
};

void RunSaveReport(const std::string& path, const ReportOptions& options)
{
    auto slot = std::make_unique<FileSlot>();
    HeaderLoadOrFail(*slot, path);
    ReportTexts texts = FillReportFields(*slot);
    const std::map<std::string, std::u16string*> fields = {{"detected-length", &texts.detectedLength},
                                                           {"start-depth", &texts.startDepth},
                                                           {"design-cage", &texts.designCageLength},
                                                           {"design-pile", &texts.designPileLength},
                                                           {"pile-no", &texts.pileNo},
                                                           {"engineering-name", &texts.engineeringName},
                                                           {"notes", &texts.notes},
                                                           {"date", &texts.date},
                                                           {"project", &texts.project},
                                                           {"site", &texts.site}};
    for (const auto& [name, value] : options.given) {
        *fields.at(name) = Utf8ToUtf16(value);
    }
    CheckWrite(ReportSave(path, texts));
    std::cout << msg::kSaved << '\n';
}

}  // namespace

void AddSaveReportCommand(CLI::App& app)
{
    auto* cmd = app.add_subcommand("save-report", "Store the report values in a file");
    auto path = std::make_shared<std::string>();
    auto options = std::make_shared<ReportOptions>();
    cmd->add_option("FILE", *path, "measurement file (.cdd)")->required();
    for (const char* name : {"detected-length", "start-depth", "design-cage", "design-pile", "pile-no",
                             "engineering-name", "notes", "date", "project", "site"}) {
        const std::string key = name;
        cmd->add_option_function<std::string>(
            "--" + key, [options, key](const std::string& v) { options->given[key] = v; }, "report value");
    }
    cmd->callback([=] { RunSaveReport(*path, *options); });
}
