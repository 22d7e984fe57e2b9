// The game-name rules on arbitrary UTF-16 text (the input read as
// little-endian 16-bit units), and the 10-character name field of a saved
// game filled from such a text.
#include <string>
#include <vector>

#include "core/cp1252.h"
#include "core/littleendian.h"
#include "fuzz_targets.h"
#include "levels/levelfile.h"
#include "saves/savefile.h"

namespace quorvale::fuzz {

namespace {

bool isHigh(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool isLow(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

// The characters of a text: a valid surrogate pair is one character (given
// as its high unit), any other unit is one character of its own.
struct Character {
    char16_t unit;
    bool pair;
};

std::vector<Character> characters(const std::u16string& text) {
    std::vector<Character> out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (isHigh(text[i]) && i + 1 < text.size() && isLow(text[i + 1])) {
            out.push_back({text[i], true});
            ++i;
        } else {
            out.push_back({text[i], false});
        }
    }
    return out;
}

bool legalCharacter(const Character& ch) {
    if (ch.pair) return false;  // outside the code page
    switch (ch.unit) {
        case u'"': case u'\\': case u'*': case u'?': case u'.': case u':':
            return false;
        default:
            break;
    }
    if (ch.unit >= 0xD800 && ch.unit <= 0xDFFF) return false;  // a lone surrogate
    const auto byte = cp1252::encode(ch.unit);
    return byte && *byte >= 32 && *byte != 255;
}

// A layout that fits, so the saved game below is always accepted.
constexpr Positions kClassic{1, 21, 0, 3, 20, 23, 40, 31, 32, 43};

}  // namespace

int gameName(const std::uint8_t* data, std::size_t size) {
    std::u16string name;
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        name.push_back(static_cast<char16_t>(readUInt16(data + i)));
    }
    const std::vector<Character> chars = characters(name);

    bool legal = true;
    for (const Character& ch : chars) legal = legal && legalCharacter(ch);
    FUZZ_CHECK(isLegalGameName(name) == legal);
    FUZZ_CHECK(cp1252::characterCount(name) == chars.size());
    FUZZ_CHECK(isGameNameTooLong(name) == (chars.size() > kMaxGameNameLength));

    if (legal) {
        // A legal name is a file name of single bytes that comes back unchanged.
        const auto bytes = cp1252::encodeText(name);
        FUZZ_CHECK(bytes.has_value());
        FUZZ_CHECK(bytes->size() == name.size());
        for (const std::uint8_t b : *bytes) FUZZ_CHECK(b >= 32 && b != 255);
        FUZZ_CHECK(cp1252::decodeBytes(bytes->data(), bytes->size()) == name);
    }

    // The same text as a saved game's level name: it is stored as exactly
    // 10 bytes (a character without a byte becomes '?', short names are
    // padded with spaces) and reads back as exactly 10 characters.
    SavedGame game;
    game.steps = size > 0 ? static_cast<std::int32_t>(data[0]) * 1000 + 5 : 0;
    game.levelIndex = static_cast<std::int16_t>(size % kLevelCount);
    game.levelName = name;
    game.positions = kClassic;
    const auto file = serializeSavedGame(game);

    std::vector<std::uint8_t> expected;
    for (const Character& ch : chars) {
        if (expected.size() == static_cast<std::size_t>(kLevelNameLength)) break;
        const auto byte = (ch.pair || (ch.unit >= 0xD800 && ch.unit <= 0xDFFF)) ? std::nullopt
                                                                                : cp1252::encode(ch.unit);
        expected.push_back(byte ? *byte : static_cast<std::uint8_t>('?'));
    }
    expected.resize(kLevelNameLength, static_cast<std::uint8_t>(' '));
    for (std::size_t k = 0; k < expected.size(); ++k) FUZZ_CHECK(file[6 + k] == expected[k]);

    SavedGame back;
    FUZZ_CHECK(parseSavedGame(file.data(), file.size(), back).empty());
    FUZZ_CHECK(back.levelName.size() == static_cast<std::size_t>(kLevelNameLength));
    FUZZ_CHECK(back.levelName == cp1252::decodeBytes(expected.data(), expected.size()));
    FUZZ_CHECK(back.steps == game.steps && back.levelIndex == game.levelIndex && back.positions == kClassic);
    return 0;
}

}  // namespace quorvale::fuzz
