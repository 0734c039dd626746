#include "data/TextCodec.h"

#include <cstdint>

std::u16string WidenBytes(std::string_view bytes)
{
    std::u16string out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        out.push_back(static_cast<char16_t>(static_cast<int16_t>(static_cast<signed char>(c))));
    }
    return out;
}

std::string NarrowToBytes(std::u16string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char16_t u : text) {
        out.push_back(static_cast<char>(u & 0xFF));
    }
    return out;
}

std::u16string DecodeAcquisitionText(std::u16string_view held)
{
    // Code page 936 maps no byte sequence to U+FFFD, so one in the result marks an invalid byte.
    const std::u16string decoded = Cp936ToUtf16(NarrowToBytes(held));
    return decoded.find(u'\uFFFD') == std::u16string::npos ? decoded : std::u16string(held);
}
