// Windows-1252, the code page of level names and saved-game names, by our own
// table so the files read the same on every platform.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quorvale::cp1252 {

// UTF-16 surrogates: halves of a character beyond U+FFFF, which no byte of
// the code page stands for.
constexpr bool isSurrogate(char16_t u) { return u >= 0xD800 && u <= 0xDFFF; }
constexpr bool isHighSurrogate(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
constexpr bool isLowSurrogate(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

// The character of one byte. The five bytes the code page leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 controls of the same value.
char16_t decode(std::uint8_t byte);

// The byte of one character, or nothing when the code page has none for it.
std::optional<std::uint8_t> encode(char32_t ch);

// Decodes `count` bytes into as many characters.
std::u16string decodeBytes(const std::uint8_t* bytes, std::size_t count);

// Encodes a text; nothing when any character (surrogate pairs included) has no byte.
std::optional<std::vector<std::uint8_t>> encodeText(const std::u16string& text);

// Number of characters of a UTF-16 text (a surrogate pair counts once).
std::size_t characterCount(const std::u16string& text);

}  // namespace quorvale::cp1252
