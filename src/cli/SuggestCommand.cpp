// suggest: the automatic interpretation of many files in one call, for the end-of-day batch.
#include "cli/CliCommon.h"
#include "cli/CliLoad.h"

#include "analysis/Interpretation.h"
#include "data/CsvWriter.h"

#include <cstdio>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

namespace {

// Depths and confidences are held to the centimetre and the hundredth, so two decimals print
// them exactly.
std::string Fixed2(float value)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2f", double(value));
    return buf;
}

std::string JsonLine(const std::string& path, const CageSuggestion& s)
{
    std::string line = "{\"file\": " + JsonString(path) + ", \"bottom\": " + (s.bottom ? Fixed2(*s.bottom) : "null") +
                       ", \"confidence\": " + Fixed2(s.confidence) + ", \"joints\": [";
    for (std::size_t k = 0; k < s.joints.size(); ++k) {
        line += (k ? ", " : "") + Fixed2(s.joints[k]);
    }
    return line + "], \"reason\": " + JsonString(s.reason) + "}\n";
}

std::string CsvLine(const std::string& path, const CageSuggestion& s)
{
    std::string line = CsvField(path) + "," + (s.bottom ? Fixed2(*s.bottom) : "") + "," + Fixed2(s.confidence) + ",";
    for (std::size_t k = 0; k < s.joints.size(); ++k) {
        line += (k ? ";" : "") + Fixed2(s.joints[k]);
    }
    return line + "\n";
}

void RunSuggest(const std::vector<std::string>& paths, bool csv)
{
    // One file is always reported as a JSON object; the table form is for batches.
    csv = csv && paths.size() > 1;
    if (csv) {
        std::cout << "file,bottom,confidence,joints\n";
    }
    auto slot = std::make_unique<FileSlot>();
    bool failed = false;
    for (const std::string& path : paths) {
        try {
            LoadOrFail(*slot, path);
        } catch (const CliFailure& e) {
            std::cout.flush();
            std::cerr << (paths.size() > 1 ? path + ": " : std::string()) << e.what() << '\n';
            failed = true;
            continue;
        }
        const CageSuggestion s = SuggestCage(slot->primary);
        std::cout << (csv ? CsvLine(path, s) : JsonLine(path, s));
    }
    std::cout.flush();
    if (failed) {
        throw CliExit(1);
    }
}

}  // namespace

void AddSuggestCommand(CLI::App& app)
{
    auto* cmd = app.add_subcommand("suggest", "Suggest the cage bottom and the joints of each file");
    auto paths = std::make_shared<std::vector<std::string>>();
    auto csv = std::make_shared<bool>(false);
    auto json = std::make_shared<bool>(false);
    cmd->add_option("FILE", *paths, "measurement files (.cdd)")->required();
    cmd->add_flag("--json", *json, "one JSON object per file and line (the default)");
    cmd->add_flag("--csv", *csv, "a CSV table, for two or more files");
    cmd->callback([=] {
        if (*json && *csv) {
            throw CLI::ValidationError("--json and --csv exclude each other");
        }
        RunSuggest(*paths, *csv);
    });
}
