// Little-endian integers in byte buffers, read and written byte by byte so the
// file formats (levels, saved games, the skin's bitmap header) never depend on
// the machine's own byte order or on struct layout.
#pragma once

#include <cstdint>

namespace quorvale {

inline std::uint16_t readUInt16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

inline std::uint32_t readUInt32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(readUInt16(p)) | (static_cast<std::uint32_t>(readUInt16(p + 2)) << 16);
}

inline std::int16_t readInt16(const std::uint8_t* p) {
    return static_cast<std::int16_t>(readUInt16(p));
}

inline std::int32_t readInt32(const std::uint8_t* p) {
    return static_cast<std::int32_t>(readUInt32(p));
}

inline void writeInt16(std::uint8_t* p, std::int16_t value) {
    const auto v = static_cast<std::uint16_t>(value);
    p[0] = static_cast<std::uint8_t>(v & 0xFF);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

inline void writeInt32(std::uint8_t* p, std::int32_t value) {
    const auto v = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>((v >> (8 * i)) & 0xFF);
}

}  // namespace quorvale
