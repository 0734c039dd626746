#include "data/LasWriter.h"

#include "data/NumberText.h"
#include "data/SafeFile.h"

#include <cmath>

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

// "MNEM.UNIT  DATA : DESCRIPTION". The unit runs from the period to the first blank, the value
// from there to the last colon; a blank always follows the unit so an empty unit stays empty.
void HeaderLine(std::string& out, const char* mnemonic, const char* unit, const std::string& value,
                const char* description)
{
    out += ' ' + Padded(mnemonic, 8) + '.' + Padded(unit, 5) + ' ' + RightAligned(HeaderValue(value), 24) + " : " +
           description + '\n';
}

std::string DepthText(float depth)
{
    return std::isfinite(depth) ? ShortestText(depth) : kLasNullText;
}

}  // namespace

std::string LasText(const WellLog& log)
{
    std::string out;
    out += "~Version Information\n";
    HeaderLine(out, "VERS", "", "2.0", "CWLS LOG ASCII STANDARD - VERSION 2.0");
    HeaderLine(out, "WRAP", "", "NO", "ONE LINE PER DEPTH STEP");

    out += "~Well Information\n";
    out += "#MNEM    .UNIT                      DATA : DESCRIPTION\n";
    const bool empty = log.rows.empty();
    HeaderLine(out, "STRT", "M", empty ? kLasNullText : DepthText(log.rows.front().depth), "START DEPTH");
    HeaderLine(out, "STOP", "M", empty ? kLasNullText : DepthText(log.rows.back().depth), "STOP DEPTH");
    // Rows run downwards, so a sampling step is a positive increment; none is given as 0.
    HeaderLine(out, "STEP", "M", log.stepCm > 0 ? ShortestText(log.stepCm / 100.0) : "0", "STEP");
    HeaderLine(out, "NULL", "", kLasNullText, "NULL VALUE");
    HeaderLine(out, "COMP", "", "", "COMPANY");
    HeaderLine(out, "WELL", "", log.pileNo, "WELL (PILE NUMBER)");
    HeaderLine(out, "FLD", "", log.site, "FIELD (SITE)");
    HeaderLine(out, "LOC", "", "", "LOCATION");
    HeaderLine(out, "PROV", "", "", "PROVINCE");
    HeaderLine(out, "SRVC", "", "", "SERVICE COMPANY");
    HeaderLine(out, "DATE", "", log.testDate, "LOG DATE");
    HeaderLine(out, "UWI", "", "", "UNIQUE WELL ID");
    HeaderLine(out, "PROJ", "", log.project, "PROJECT");

    out += "~Curve Information\n";
    HeaderLine(out, "DEPT", "M", "", "DEPTH");
    HeaderLine(out, "X", "nT", "", "X COMPONENT");
    HeaderLine(out, "Y", "nT", "", "Y COMPONENT");
    HeaderLine(out, "Z", "nT", "", "Z COMPONENT");
    HeaderLine(out, "GX", "nT/m", "", "X GRADIENT");
    HeaderLine(out, "GY", "nT/m", "", "Y GRADIENT");
    HeaderLine(out, "GZ", "nT/m", "", "Z GRADIENT");

    out += "~Parameter Information\n";
    HeaderLine(out, "STEP_CM", "cm", std::to_string(log.stepCm), "SAMPLING STEP");
    HeaderLine(out, "SMOOTH", "", std::to_string(log.smoothWindow), "SMOOTHING POINTS");
    const auto marker = [&](int slot, const char* mnemonic, const std::string& description) {
        const float depth = log.markerDepth[std::size_t(slot)];
        if (std::isfinite(depth) && depth > 0.0f)
            HeaderLine(out, mnemonic, "M", FixedText(depth, 2), description.c_str());
    };
    marker(kBottomMarker, "BOTM", "CAGE BOTTOM");
    for (int level = 1; level <= kBottomMarker; ++level) {
        const std::string mnemonic = "JNT" + std::to_string(level);
        marker(level - 1, mnemonic.c_str(), "JOINT LEVEL " + std::to_string(level));
    }

    out += "~ASCII\n";
    for (const WellLogRow& r : log.rows) {
        out += RightAligned(DepthText(r.depth), 12);
        for (int32_t v : {r.x, r.y, r.z})
            out += ' ' + RightAligned(std::to_string(v), 11);
        for (int32_t g : {r.gx, r.gy, r.gz})
            out += ' ' + RightAligned(FixedText(g, 2), 14);
        out += '\n';
    }
    return out;
}

bool WriteLasFile(const std::string& path, const WellLog& log)
{
    return ReplaceFileContents(path, LasText(log));
}
