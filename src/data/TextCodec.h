#pragma once

#include <optional>
#include <string>
#include <string_view>

// Conversions between the program's UTF-16 texts and the 8-bit texts of measurement files.

// Acquisition texts: each byte becomes one code unit, sign-extended (0x80..0xFF -> U+FF80..U+FFFF),
// so that writing back the low bytes restores the file's bytes exactly.
std::u16string WidenBytes(std::string_view bytes);
std::string NarrowToBytes(std::u16string_view text);

// An acquisition text held widened, as the operator reads it: the instrument writes code page 936,
// so its bytes decoded from code page 936 - or, where they are not valid code page 936, the held
// text itself, which keeps every byte visible. Everything that shows or exports such a text as
// text goes through here.
std::u16string DecodeAcquisitionText(std::u16string_view held);

// Report texts use code page 936 (GBK). Undecodable bytes become U+FFFD.
std::u16string Cp936ToUtf16(std::string_view bytes);
// std::nullopt when a character has no code page 936 form.
std::optional<std::string> Utf16ToCp936(std::u16string_view text);

std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view text);
