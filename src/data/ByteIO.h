#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

// Little-endian access to a byte buffer, whatever the host's byte order.
namespace byteio {

inline uint32_t GetU32(const unsigned char* p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
inline int32_t GetI32(const unsigned char* p) { return static_cast<int32_t>(GetU32(p)); }
inline float GetF32(const unsigned char* p) { return std::bit_cast<float>(GetU32(p)); }

inline void PutU32(unsigned char* p, uint32_t v)
{
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
    p[2] = static_cast<unsigned char>(v >> 16);
    p[3] = static_cast<unsigned char>(v >> 24);
}
inline void PutI32(unsigned char* p, int32_t v) { PutU32(p, static_cast<uint32_t>(v)); }
inline void PutF32(unsigned char* p, float v) { PutU32(p, std::bit_cast<uint32_t>(v)); }

// Writes at pos, growing the buffer (zero-filled) when the write reaches past its end.
inline void EnsureSize(std::vector<unsigned char>& buf, std::size_t size)
{
    if (buf.size() < size) {
        buf.resize(size, 0);
    }
}
inline void PutI32At(std::vector<unsigned char>& buf, std::size_t pos, int32_t v)
{
    EnsureSize(buf, pos + 4);
    PutI32(buf.data() + pos, v);
}
inline void PutF32At(std::vector<unsigned char>& buf, std::size_t pos, float v)
{
    EnsureSize(buf, pos + 4);
    PutF32(buf.data() + pos, v);
}

}  // namespace byteio
