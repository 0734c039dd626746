#include "data/CsvWriter.h"

#include "data/NumberText.h"
#include "data/SafeFile.h"

#include <cmath>

std::string CsvText(const WellLog& log)
{
    std::string out = std::string(kCsvHeader) + "\r\n";
    for (const WellLogRow& r : log.rows) {
        if (std::isfinite(r.depth))
            out += ShortestText(r.depth);
        for (int32_t v : {r.x, r.y, r.z})
            out += ',' + std::to_string(v);
        for (double g : {r.gx, r.gy, r.gz})
            out += ',' + FixedText(g, 2);
        out += "\r\n";
    }
    return out;
}

bool WriteCsvFile(const std::string& path, const WellLog& log)
{
    return ReplaceFileContents(path, CsvText(log));
}

std::string CsvField(std::string_view text)
{
    if (text.find_first_of(",\"\r\n") == std::string_view::npos)
        return std::string(text);
    std::string quoted = "\"";
    for (char c : text)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}
