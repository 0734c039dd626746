#include "data/TextCodec.h"

// Windows has no iconv; its own code page tables do the same work and give the same results:
// an undecodable byte becomes one U+FFFD and the rest of the text survives.
#include <windows.h>

#include <climits>

namespace {

constexpr UINT kCp936 = 936;
constexpr char16_t kReplacement = u'\xFFFD';

const wchar_t* Wide(std::u16string_view text)
{
    return reinterpret_cast<const wchar_t*>(text.data());
}

int Length(std::size_t size)
{
    return size > INT_MAX ? -1 : static_cast<int>(size);
}

// Appends the decoded bytes; false when flags ask for strictness and a sequence is invalid.
bool Decode(UINT codePage, DWORD flags, std::string_view bytes, std::u16string& out)
{
    const int inLen = Length(bytes.size());
    if (inLen <= 0) {
        return inLen == 0;
    }
    const int n = ::MultiByteToWideChar(codePage, flags, bytes.data(), inLen, nullptr, 0);
    if (n <= 0) {
        return false;
    }
    const std::size_t at = out.size();
    out.resize(at + static_cast<std::size_t>(n));
    ::MultiByteToWideChar(codePage, flags, bytes.data(), inLen, reinterpret_cast<wchar_t*>(out.data() + at), n);
    return true;
}

// Encodes text; false when a character has no form in the code page.
bool Encode(UINT codePage, std::u16string_view text, std::string& out)
{
    const int inLen = Length(text.size());
    if (inLen <= 0) {
        return inLen == 0;
    }
    // UTF-8 rejects the flag and the default-character query; code page 936 needs both, or a
    // character it lacks would silently become a look-alike or '?'.
    const bool utf8 = codePage == CP_UTF8;
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* usedDefaultOut = utf8 ? nullptr : &usedDefault;
    const int n = ::WideCharToMultiByte(codePage, flags, Wide(text), inLen, nullptr, 0, nullptr, usedDefaultOut);
    if (n <= 0 || usedDefault) {
        return false;
    }
    out.resize(static_cast<std::size_t>(n));
    ::WideCharToMultiByte(codePage, flags, Wide(text), inLen, out.data(), n, nullptr, usedDefaultOut);
    return true;
}

}  // namespace

std::u16string Cp936ToUtf16(std::string_view bytes)
{
    std::u16string out;
    if (Decode(kCp936, MB_ERR_INVALID_CHARS, bytes, out)) {
        return out;
    }
    // Some byte starts no character: go character by character (a lead byte with its trail byte,
    // or one byte) and replace each such byte alone.
    out.clear();
    std::size_t i = 0;
    while (i < bytes.size()) {
        const bool pair = i + 1 < bytes.size() && ::IsDBCSLeadByteEx(kCp936, static_cast<BYTE>(bytes[i]));
        const std::size_t len = pair ? 2 : 1;
        if (Decode(kCp936, MB_ERR_INVALID_CHARS, bytes.substr(i, len), out)) {
            i += len;
            continue;
        }
        out.push_back(kReplacement);
        ++i;
    }
    return out;
}

std::optional<std::string> Utf16ToCp936(std::u16string_view text)
{
    std::string out;
    if (!Encode(kCp936, text, out)) {
        return std::nullopt;
    }
    return out;
}

std::u16string Utf8ToUtf16(std::string_view utf8)
{
    // Without the strict flag Windows replaces each invalid sequence by U+FFFD, as wanted here.
    std::u16string out;
    Decode(CP_UTF8, 0, utf8, out);
    return out;
}

std::string Utf16ToUtf8(std::u16string_view text)
{
    // Unpaired surrogates become U+FFFD.
    std::string out;
    Encode(CP_UTF8, text, out);
    return out;
}
