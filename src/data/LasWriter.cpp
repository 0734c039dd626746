#include "data/LasWriter.h"

#include "data/NumberText.h"
#include "data/SafeFile.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// A header value must stay on its line and must not end before the description's colon; control
// characters (a line break in an acquisition text) become blanks.
std::string HeaderValue(const std::string& text)
{
    std::string out = text;
    for (char& c : out) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F)
            c = ' ';
    }
    return out;
}

std::string Padded(std::string text, std::size_t width)
{
    if (text.size() < width)
        text.append(width - text.size(), ' ');
    return text;
}

std::string RightAligned(const std::string& text, std::size_t width)
{
    return text.size() < width ? std::string(width - text.size(), ' ') + text : text;
}

struct HeaderItem {
    std::string name;  // "MNEM.UNIT"
    std::string value;
    std::string description;
};

HeaderItem Item(const std::string& mnemonic, const std::string& unit, const std::string& value,
                const std::string& description)
{
    return {mnemonic + '.' + unit, HeaderValue(value), description};
}

// A section's lines in the dense form "MNEM.UNIT   DATA : DESCRIPTION": the period right after the
// mnemonic, the unit running to the first blank, the value to the last colon. Names are padded to
// one column and values right-aligned in the next. A unit is kept four blanks or more from its
// value: simple readers take a shorter gap for part of the unit or the value. A comment line
// naming the columns may head the section.
void Section(std::string& out, const char* title, const std::vector<HeaderItem>& items, bool columnTitles)
{
    const HeaderItem titles{"MNEM.UNIT", "DATA", "DESCRIPTION"};
    std::size_t nameWidth = columnTitles ? titles.name.size() : 0;
    std::size_t valueWidth = columnTitles ? titles.value.size() : 0;
    for (const HeaderItem& item : items) {
        nameWidth = std::max(nameWidth, item.name.size() + (item.name.back() == '.' ? 0 : 1));
        valueWidth = std::max(valueWidth, item.value.size());
    }
    const auto line = [&](char lead, const HeaderItem& item) {
        out += lead + Padded(item.name, nameWidth) + "   " + RightAligned(item.value, valueWidth) + " : " +
               item.description + '\n';
    };
    out += title;
    out += '\n';
    if (columnTitles)
        line('#', titles);
    for (const HeaderItem& item : items)
        line(' ', item);
}

std::string DepthText(float depth)
{
    return std::isfinite(depth) ? ShortestText(depth) : kLasNullText;
}

}  // namespace

std::string LasText(const WellLog& log)
{
    std::string out;
    Section(out, "~Version Information",
            {Item("VERS", "", "2.0", "CWLS LOG ASCII STANDARD - VERSION 2.0"),
             Item("WRAP", "", "NO", "ONE LINE PER DEPTH STEP")},
            false);

    const bool empty = log.rows.empty();
    Section(out, "~Well Information",
            {Item("STRT", "M", empty ? kLasNullText : DepthText(log.rows.front().depth), "START DEPTH"),
             Item("STOP", "M", empty ? kLasNullText : DepthText(log.rows.back().depth), "STOP DEPTH"),
             // Rows run downwards, so a sampling step is a positive increment; none is given as 0.
             Item("STEP", "M", log.stepCm > 0 ? ShortestText(log.stepCm / 100.0) : "0", "STEP"),
             Item("NULL", "", kLasNullText, "NULL VALUE"), Item("COMP", "", "", "COMPANY"),
             Item("WELL", "", log.pileNo, "WELL (PILE NUMBER)"), Item("FLD", "", log.site, "FIELD (SITE)"),
             Item("LOC", "", "", "LOCATION"), Item("PROV", "", "", "PROVINCE"), Item("SRVC", "", "", "SERVICE COMPANY"),
             Item("DATE", "", log.testDate, "LOG DATE"), Item("UWI", "", "", "UNIQUE WELL ID"),
             Item("PROJ", "", log.project, "PROJECT")},
            true);

    Section(out, "~Curve Information",
            {Item("DEPT", "M", "", "DEPTH"), Item("X", "nT", "", "X COMPONENT"), Item("Y", "nT", "", "Y COMPONENT"),
             Item("Z", "nT", "", "Z COMPONENT"), Item("GX", "nT/m", "", "X GRADIENT"),
             Item("GY", "nT/m", "", "Y GRADIENT"), Item("GZ", "nT/m", "", "Z GRADIENT")},
            false);

    std::vector<HeaderItem> parameters{Item("STEP_CM", "cm", std::to_string(log.stepCm), "SAMPLING STEP"),
                                       Item("SMOOTH", "", std::to_string(log.smoothWindow), "SMOOTHING POINTS")};
    const auto marker = [&](int slot, const std::string& mnemonic, const std::string& description) {
        const float depth = log.markerDepth[std::size_t(slot)];
        if (std::isfinite(depth) && depth > 0.0f)
            parameters.push_back(Item(mnemonic, "M", FixedText(depth, 2), description));
    };
    marker(kBottomMarker, "BOTM", "CAGE BOTTOM");
    for (int level = 1; level <= kBottomMarker; ++level)
        marker(level - 1, "JNT" + std::to_string(level), "JOINT LEVEL " + std::to_string(level));
    Section(out, "~Parameter Information", parameters, false);

    out += "~ASCII\n";
    for (const WellLogRow& r : log.rows) {
        out += RightAligned(DepthText(r.depth), 12);
        for (int32_t v : {r.x, r.y, r.z})
            out += ' ' + RightAligned(std::to_string(v), 11);
        for (double g : {r.gx, r.gy, r.gz})
            out += ' ' + RightAligned(FixedText(g, 2), 14);
        out += '\n';
    }
    return out;
}

bool WriteLasFile(const std::string& path, const WellLog& log)
{
    return ReplaceFileContents(path, LasText(log));
}
