// Code page 936 and UTF-8 through iconv, where the C library provides it (every system but Windows).
#include "data/TextCodec.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <vector>

namespace {

// Thin RAII owner of one iconv conversion descriptor.
class Converter {
public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Converter()
    {
        if (valid()) {
            iconv_close(m_cd);
        }
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    // Converts in; on an invalid or incomplete input sequence either skips one input unit and
    // appends `replacement` (when given) or fails. Returns false on failure.
    bool run(const char* in, std::size_t inLen, std::size_t unit, std::string& out,
             const std::string* replacement)
    {
        if (!valid()) {
            return false;
        }
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        char buffer[1024];
        char* src = const_cast<char*>(in);
        std::size_t left = inLen;
        while (left > 0) {
            char* dst = buffer;
            std::size_t room = sizeof buffer;
            const std::size_t rc = iconv(m_cd, &src, &left, &dst, &room);
            out.append(buffer, static_cast<std::size_t>(dst - buffer));
            if (rc != static_cast<std::size_t>(-1)) {
                continue;
            }
            if (errno == E2BIG) {
                continue;
            }
            if ((errno == EILSEQ || errno == EINVAL) && replacement != nullptr) {
                const std::size_t skip = left < unit ? left : unit;
                src += skip;
                left -= skip;
                out += *replacement;
                continue;
            }
            return false;
        }
        char* dst = buffer;
        std::size_t room = sizeof buffer;
        iconv(m_cd, nullptr, nullptr, &dst, &room);
        out.append(buffer, static_cast<std::size_t>(dst - buffer));
        return true;
    }

private:
    iconv_t m_cd;
};

std::u16string FromUtf16LeBytes(const std::string& bytes)
{
    std::u16string out;
    out.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        out.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                            (static_cast<unsigned char>(bytes[i + 1]) << 8)));
    }
    return out;
}

std::string ToUtf16LeBytes(std::u16string_view text)
{
    std::string out;
    out.reserve(text.size() * 2);
    for (char16_t u : text) {
        out.push_back(static_cast<char>(u & 0xFF));
        out.push_back(static_cast<char>(u >> 8));
    }
    return out;
}

const std::string kReplacementUtf16Le("\xFD\xFF", 2);
const std::string kReplacementUtf8("\xEF\xBF\xBD", 3);

}  // namespace

std::u16string Cp936ToUtf16(std::string_view bytes)
{
    // Code page 936 keeps ASCII as it is, and most texts of a file are ASCII or empty.
    if (std::all_of(bytes.begin(), bytes.end(), [](char b) { return static_cast<unsigned char>(b) < 0x80; })) {
        return std::u16string(bytes.begin(), bytes.end());
    }
    thread_local Converter c("UTF-16LE", "CP936");
    std::string out;
    if (!c.run(bytes.data(), bytes.size(), 1, out, &kReplacementUtf16Le)) {
        return WidenBytes(bytes);
    }
    return FromUtf16LeBytes(out);
}

std::optional<std::string> Utf16ToCp936(std::u16string_view text)
{
    thread_local Converter c("CP936", "UTF-16LE");
    const std::string in = ToUtf16LeBytes(text);
    std::string out;
    if (!c.run(in.data(), in.size(), 2, out, nullptr)) {
        return std::nullopt;
    }
    return out;
}

std::u16string Utf8ToUtf16(std::string_view utf8)
{
    thread_local Converter c("UTF-16LE", "UTF-8");
    std::string out;
    c.run(utf8.data(), utf8.size(), 1, out, &kReplacementUtf16Le);
    return FromUtf16LeBytes(out);
}

std::string Utf16ToUtf8(std::u16string_view text)
{
    thread_local Converter c("UTF-8", "UTF-16LE");
    const std::string in = ToUtf16LeBytes(text);
    std::string out;
    c.run(in.data(), in.size(), 2, out, &kReplacementUtf8);
    return out;
}
