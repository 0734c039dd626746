#pragma once
// A reader of LAS 2.0 files (CWLS log ASCII standard) written from the standard's rules, not from
// the program's writer, so that tests and the fuzzer can check what other well-log tools will see:
// - sections start with '~' and are told apart by the letter after it: ~V first, then ~W, ~C,
//   optional ~P and ~O, and ~A last; each at most once; no blank lines anywhere;
// - '#' starts a comment line (not inside ~A);
// - a header line is "MNEM.UNIT  DATA : DESCRIPTION": the mnemonic runs to the first period, the
//   unit from there to the first blank, the data from there to the last colon;
// - ~V holds VERS (2.0) and WRAP; ~W holds STRT STOP STEP NULL COMP WELL FLD LOC SRVC DATE;
// - ~C names the columns of ~A in order, the first one the index (DEPT, DEPTH, TIME or INDEX);
// - unwrapped ~A: one line per index step, blank-separated numbers, one per curve; STRT and STOP
//   are the first and last index values.

#include <cctype>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

struct LasItem {
    std::string mnemonic, unit, value, description;
};

struct LasFile {
    std::map<char, std::vector<LasItem>> sections;
    std::vector<std::vector<double>> rows;
    std::string error;  // the first rule broken; empty when the file follows them all

    const LasItem* Item(char section, const std::string& mnemonic) const
    {
        const auto it = sections.find(section);
        if (it != sections.end())
            for (const LasItem& item : it->second)
                if (item.mnemonic == mnemonic)
                    return &item;
        return nullptr;
    }
};

inline std::string LasTrim(const std::string& s)
{
    const std::size_t b = s.find_first_not_of(' ');
    return b == std::string::npos ? std::string() : s.substr(b, s.find_last_not_of(' ') - b + 1);
}

inline LasFile ReadLas(const std::string& text)
{
    LasFile las;
    const auto fail = [&las](const std::string& why) {
        if (las.error.empty())
            las.error = why;
        return las;
    };
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(!line.empty() && line.back() == '\r' ? line.substr(0, line.size() - 1) : line);

    char section = 0;
    std::string order;
    for (const std::string& line : lines) {
        if (LasTrim(line).empty())
            return fail("blank line");
        if (line[0] == '~') {
            section = static_cast<char>(std::toupper(static_cast<unsigned char>(line.size() > 1 ? line[1] : ' ')));
            if (order.find(section) != std::string::npos || order.find('A') != std::string::npos)
                return fail(std::string("section out of place: ") + section);
            order += section;
            continue;
        }
        if (line[0] == '#' && section != 'A')
            continue;
        if (section == 0)
            return fail("text before ~V");
        if (section == 'A') {
            std::istringstream values(line);
            std::vector<double> row;
            for (std::string token; values >> token;) {
                char* end = nullptr;
                row.push_back(std::strtod(token.c_str(), &end));
                if (*end != '\0')
                    return fail("not a number: " + token);
            }
            las.rows.push_back(row);
            continue;
        }
        if (section == 'O')
            continue;
        const std::size_t period = line.find('.');
        const std::size_t blank = line.find(' ', period == std::string::npos ? 0 : period);
        const std::size_t colon = line.rfind(':');
        if (period == std::string::npos || blank == std::string::npos || colon == std::string::npos || colon < blank)
            return fail("not MNEM.UNIT DATA : DESCRIPTION: " + line);
        las.sections[section].push_back({LasTrim(line.substr(0, period)), line.substr(period + 1, blank - period - 1),
                                         LasTrim(line.substr(blank, colon - blank)), LasTrim(line.substr(colon + 1))});
    }

    if (order.empty() || order[0] != 'V' || order.find('W') == std::string::npos ||
        order.find('C') == std::string::npos || order.back() != 'A')
        return fail("sections missing or out of order: " + order);
    for (const char* m : {"VERS", "WRAP"})
        if (!las.Item('V', m))
            return fail(std::string("~V lacks ") + m);
    if (std::strtod(las.Item('V', "VERS")->value.c_str(), nullptr) != 2.0 || las.Item('V', "WRAP")->value != "NO")
        return fail("not unwrapped LAS 2.0");
    for (const char* m : {"STRT", "STOP", "STEP", "NULL", "COMP", "WELL", "FLD", "LOC", "SRVC", "DATE"})
        if (!las.Item('W', m))
            return fail(std::string("~W lacks ") + m);
    const std::vector<LasItem>& curves = las.sections['C'];
    if (curves.empty() || std::string(" DEPT DEPTH TIME INDEX ").find(" " + curves[0].mnemonic + " ") == std::string::npos)
        return fail("no index curve");
    for (const std::vector<double>& row : las.rows)
        if (row.size() != curves.size())
            return fail("row of " + std::to_string(row.size()) + " values");
    if (!las.rows.empty() && (std::strtod(las.Item('W', "STRT")->value.c_str(), nullptr) != las.rows.front()[0] ||
                              std::strtod(las.Item('W', "STOP")->value.c_str(), nullptr) != las.rows.back()[0]))
        return fail("STRT/STOP differ from the first/last index");
    return las;
}
