// The Windows-1252 codec: decoding then encoding is the identity on all 256
// bytes, encoding then decoding is the identity on every character that has
// a byte, and nothing else gets one.
#include <algorithm>
#include <array>
#include <string>

#include "core/cp1252.h"
#include "core/littleendian.h"
#include "fuzz_targets.h"

namespace quorvale::fuzz {

namespace {

// The 256 characters of the code page, checked once per process.
const std::array<char16_t, 256>& decodedTable() {
    static const std::array<char16_t, 256> table = [] {
        std::array<char16_t, 256> t{};
        for (int b = 0; b < 256; ++b) {
            t[static_cast<std::size_t>(b)] = cp1252::decode(static_cast<std::uint8_t>(b));
            const auto back = cp1252::encode(t[static_cast<std::size_t>(b)]);
            FUZZ_CHECK(back.has_value() && *back == b);
        }
        return t;
    }();
    return table;
}

bool hasByte(char32_t ch) {
    const auto& t = decodedTable();
    return std::find(t.begin(), t.end(), ch) != t.end();
}

}  // namespace

int cp1252Codec(const std::uint8_t* data, std::size_t size) {
    decodedTable();

    // Bytes -> text -> bytes.
    const std::u16string text = cp1252::decodeBytes(data, size);
    FUZZ_CHECK(text.size() == size);
    FUZZ_CHECK(cp1252::characterCount(text) == size);  // no surrogates among the 256
    const auto bytes = cp1252::encodeText(text);
    FUZZ_CHECK(bytes.has_value());
    FUZZ_CHECK(std::equal(bytes->begin(), bytes->end(), data, data + size));

    // Any code point, the input read as 32-bit little-endian values: it has a
    // byte exactly when the table holds it, and that byte decodes to it.
    for (std::size_t i = 0; i + 3 < size; i += 4) {
        const char32_t ch = readUInt32(data + i);
        const auto byte = cp1252::encode(ch);
        FUZZ_CHECK(byte.has_value() == hasByte(ch));
        if (byte) FUZZ_CHECK(cp1252::decode(*byte) == ch);
    }

    // Any UTF-16 text, the input read as 16-bit little-endian units: it
    // encodes exactly when every unit has a byte, one byte per unit.
    std::u16string units;
    for (std::size_t i = 0; i + 1 < size; i += 2) units.push_back(static_cast<char16_t>(readUInt16(data + i)));
    const auto encoded = cp1252::encodeText(units);
    const bool allHaveBytes = std::all_of(units.begin(), units.end(), [](char16_t u) { return hasByte(u); });
    FUZZ_CHECK(encoded.has_value() == allHaveBytes);
    if (encoded) {
        FUZZ_CHECK(encoded->size() == units.size());
        FUZZ_CHECK(cp1252::decodeBytes(encoded->data(), encoded->size()) == units);
    }
    FUZZ_CHECK(cp1252::decodeBytes(nullptr, size).empty());
    return 0;
}

}  // namespace quorvale::fuzz
