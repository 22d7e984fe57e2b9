#include "core/cp1252.h"

#include <array>

namespace quorvale::cp1252 {

namespace {

// Characters of the bytes 0x80..0x9F; every other byte is its own Latin-1
// character. The five bytes the code page leaves undefined keep their C1 value.
constexpr std::array<char16_t, 32> kHighTable = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98-9F
};

}  // namespace

char16_t decode(std::uint8_t byte) {
    if (byte >= 0x80 && byte <= 0x9F) return kHighTable[static_cast<std::size_t>(byte - 0x80)];
    return static_cast<char16_t>(byte);
}

std::optional<std::uint8_t> encode(char32_t ch) {
    if (ch < 0x80 || (ch >= 0xA0 && ch <= 0xFF)) return static_cast<std::uint8_t>(ch);
    for (std::size_t i = 0; i < kHighTable.size(); ++i) {
        if (kHighTable[i] == ch) return static_cast<std::uint8_t>(0x80 + i);
    }
    return std::nullopt;
}

std::u16string decodeBytes(const std::uint8_t* bytes, std::size_t count) {
    std::u16string out;
    if (bytes == nullptr) return out;
    out.reserve(count);
    for (std::size_t i = 0; i < count; ++i) out.push_back(decode(bytes[i]));
    return out;
}

std::optional<std::vector<std::uint8_t>> encodeText(const std::u16string& text) {
    std::vector<std::uint8_t> out;
    out.reserve(text.size());
    for (const char16_t u : text) {
        // No character outside the Basic Multilingual Plane (and no lone
        // surrogate) has a byte in this code page.
        if (isSurrogate(u)) return std::nullopt;
        const auto b = encode(u);
        if (!b) return std::nullopt;
        out.push_back(*b);
    }
    return out;
}

std::size_t characterCount(const std::u16string& text) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (isHighSurrogate(text[i]) && i + 1 < text.size() && isLowSurrogate(text[i + 1])) ++i;
        ++count;
    }
    return count;
}

}  // namespace quorvale::cp1252
