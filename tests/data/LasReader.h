#pragma once
// A reader of LAS 2.0 files (CWLS log ASCII standard) written from the standard's rules, not from
// the program's writer, so that tests and the fuzzer check what other well-log tools will see:
// - a section starts with '~' and is named by the letter after it: ~V first, ~W, ~C, optional ~P
//   and ~O, and ~A last, each at most once; no blank lines; '#' starts a comment line above ~A;
// - a header line is "MNEM.UNIT  DATA : DESCRIPTION": the mnemonic runs to the first period, the
//   unit from there to the first blank, the data from there to the last colon;
// - ~V holds VERS (2.0) and WRAP; ~W holds STRT STOP STEP NULL COMP WELL FLD LOC SRVC DATE;
// - ~C names the columns of ~A in order, the index (DEPT) first; unwrapped ~A has one line of
//   blank-separated numbers per step; STRT and STOP are the first and last index values.

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
        for (std::size_t i = 0; it != sections.end() && i < it->second.size(); ++i)
            if (it->second[i].mnemonic == mnemonic)
                return &it->second[i];
        return nullptr;
    }
    std::string Value(char section, const std::string& mnemonic) const
    {
        const LasItem* item = Item(section, mnemonic);
        return item ? item->value : "<missing>";
    }
    double Number(char section, const std::string& mnemonic) const
    {
        return std::strtod(Value(section, mnemonic).c_str(), nullptr);
    }
};

inline std::string LasTrim(const std::string& s)
{
    const std::size_t b = s.find_first_not_of(' ');
    return b == std::string::npos ? std::string() : s.substr(b, s.find_last_not_of(' ') - b + 1);
}

// The rules on the file as a whole, given its items, rows and the order of its sections.
inline std::string LasStructureError(const LasFile& las, const std::string& order)
{
    if (order.empty() || order.find('W') == std::string::npos || order.find('C') == std::string::npos || order.back() != 'A')
        return "sections missing: " + order;
    const LasItem* wrap = las.Item('V', "WRAP");
    if (las.Number('V', "VERS") != 2.0 || !wrap || wrap->value != "NO")
        return "not unwrapped LAS 2.0";
    for (const char* m : {"STRT", "STOP", "STEP", "NULL", "COMP", "WELL", "FLD", "LOC", "SRVC", "DATE"})
        if (!las.Item('W', m))
            return std::string("~W lacks ") + m;
    const auto curves = las.sections.find('C');
    if (curves == las.sections.end() || curves->second[0].mnemonic != "DEPT")
        return "no index curve";
    for (const std::vector<double>& row : las.rows)
        if (row.size() != curves->second.size())
            return "row of " + std::to_string(row.size()) + " values";
    if (!las.rows.empty() &&
        (las.Number('W', "STRT") != las.rows.front()[0] || las.Number('W', "STOP") != las.rows.back()[0]))
        return "STRT/STOP differ from the first/last index";
    return {};
}

inline LasFile ReadLas(const std::string& text)
{
    LasFile las;
    std::string order;  // section letters as met
    std::istringstream in(text);
    for (std::string line; las.error.empty() && std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const char section = order.empty() ? 0 : order.back();
        if (LasTrim(line).empty()) {
            las.error = "blank line";
        } else if (line[0] == '~') {
            const char next = static_cast<char>(std::toupper(static_cast<unsigned char>(line.size() > 1 ? line[1] : ' ')));
            if (order.find(next) != std::string::npos || section == 'A' || (order.empty() && next != 'V'))
                las.error = "section out of place: " + line;
            order += next;
        } else if (section == 'A') {
            std::istringstream values(line);
            las.rows.emplace_back();
            for (std::string token; values >> token;) {
                char* end = nullptr;
                las.rows.back().push_back(std::strtod(token.c_str(), &end));
                if (*end != '\0')
                    las.error = "not a number: " + token;
            }
        } else if (line[0] != '#' && section != 'O') {
            const std::size_t period = line.find('.');
            const std::size_t blank = line.find(' ', period == std::string::npos ? line.size() : period);
            const std::size_t colon = line.rfind(':');
            if (section == 0 || blank == std::string::npos || colon == std::string::npos || colon < blank)
                las.error = "not MNEM.UNIT DATA : DESCRIPTION: " + line;
            else
                las.sections[section].push_back({LasTrim(line.substr(0, period)), line.substr(period + 1, blank - period - 1),
                                                 LasTrim(line.substr(blank, colon - blank)), LasTrim(line.substr(colon + 1))});
        }
    }
    if (las.error.empty())
        las.error = LasStructureError(las, order);
    return las;
}
