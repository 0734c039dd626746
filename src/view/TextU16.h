#pragma once

#include <QString>

#include <string_view>

// Below the widgets the program keeps its texts as UTF-16 (std::u16string in data/); this is how
// they become Qt strings.
inline QString FromU16(std::u16string_view text)
{
    return QString::fromUtf16(text.data(), qsizetype(text.size()));
}
