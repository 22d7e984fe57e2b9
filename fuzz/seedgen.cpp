// Writes the seed corpus: real files made by the game's own writers, and
// damaged ones (cut short, too long, wrong level number, pieces off the
// board or on top of each other, odd names).
// Usage: fuzz_seedgen CORPUS_DIR [LEVEL_FILE]
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/littleendian.h"
#include "levels/levelfile.h"
#include "saves/savefile.h"

namespace fs = std::filesystem;
using namespace quorvale;
using Bytes = std::vector<std::uint8_t>;

namespace {

fs::path root;

void put(const char* target, const std::string& name, const Bytes& bytes) {
    fs::create_directories(root / target);
    std::ofstream out(root / target / name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

Bytes cut(Bytes b, std::size_t n) {
    b.resize(std::min(n, b.size()));
    return b;
}

Bytes utf16(const std::u16string& s) {
    Bytes out;
    for (char16_t u : s) {
        std::uint8_t unit[2];
        writeInt16(unit, static_cast<std::int16_t>(u));
        out.insert(out.end(), unit, unit + 2);
    }
    return out;
}

constexpr Positions kClassic{1, 21, 0, 3, 20, 23, 40, 31, 32, 43};
constexpr Positions kSolved{31, 0, 10, 2, 3, 13, 20, 21, 22, 23};

Bytes saved(std::int32_t steps, std::int16_t level, const std::u16string& name, const Positions& p) {
    SavedGame g;
    g.steps = steps;
    g.levelIndex = level;
    g.levelName = name;
    g.positions = p;
    const auto a = serializeSavedGame(g);
    return Bytes(a.begin(), a.end());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s CORPUS_DIR [LEVEL_FILE]\n", argv[0]);
        return 2;
    }
    root = argv[1];

    // Level files.
    LevelTable table;
    for (int i = 0; i < kLevelCount; ++i) {
        std::u16string name = u"Level ";
        name += static_cast<char16_t>(u'0' + (i + 1) / 10);
        name += static_cast<char16_t>(u'0' + (i + 1) % 10);
        table[static_cast<std::size_t>(i)].name = name + u"  ";
        table[static_cast<std::size_t>(i)].positions = i % 2 ? kClassic : kSolved;
    }
    table[3].name = u"Caf\u00e9 \u20ac\u0178\u00ff\u0081x";
    Bytes made = *writeLevelTable(table);
    put("level_file", "made-2100", made);
    Bytes real;
    if (argc > 2) {
        std::ifstream in(argv[2], std::ios::binary);
        real.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        if (!real.empty()) put("level_file", "shipped-qvl.ZHN", real);
    }
    const Bytes& base = real.size() == kLevelFileBytes ? real : made;
    for (std::size_t n : {0u, 1u, 10u, 29u, 30u, 31u, 41u, 1000u, 2069u, 2098u, 2099u})
        put("level_file", "cut-" + std::to_string(n), cut(base, n));
    Bytes longer = base;
    longer.insert(longer.end(), 100, 0xEE);
    put("level_file", "longer-2200", longer);
    Bytes damaged = base;
    for (std::size_t i = 10; i < damaged.size(); i += 61) damaged[i] ^= 0xA5;
    put("level_file", "damaged-bits", damaged);
    put("level_file", "all-ff", Bytes(kLevelFileBytes, 0xFF));
    put("level_file", "all-zero", Bytes(kLevelFileBytes, 0x00));

    // Saved games.
    put("saved_game", "level1-start", saved(0, 0, u"Level 01  ", kClassic));
    put("saved_game", "level3-300-steps", saved(300, 2, u"Caf\u00e9 \u20ac", kClassic));
    put("saved_game", "level70-solved", saved(2147483647, 69, u"Last one", kSolved));
    put("saved_game", "negative-steps", saved(-1, 5, u"", kClassic));
    Bytes good = saved(12, 5, u"Twelve", kClassic);
    for (std::size_t n : {0u, 1u, 4u, 6u, 16u, 34u, 35u}) put("saved_game", "cut-" + std::to_string(n), cut(good, n));
    Bytes longerSave = good;
    longerSave.insert(longerSave.end(), {1, 2, 3, 4, 5});
    put("saved_game", "longer-41", longerSave);
    put("saved_game", "level-minus1", saved(1, -1, u"x", kClassic));
    put("saved_game", "level-70", saved(1, 70, u"x", kClassic));
    put("saved_game", "level-32767", saved(1, 32767, u"x", kClassic));
    put("saved_game", "level-minus32768", saved(1, -32768, u"x", kClassic));
    Positions off = kClassic;
    off[0] = 3;  // the square would stick out on the right
    put("saved_game", "square-off-right", saved(1, 1, u"x", off));
    off = kClassic;
    off[2] = 40;  // a tall piece below the last row
    put("saved_game", "tall-off-bottom", saved(1, 1, u"x", off));
    off = kClassic;
    off[6] = -1;
    put("saved_game", "small-negative", saved(1, 1, u"x", off));
    off = kClassic;
    off[9] = 19;  // column 9 of row 1
    put("saved_game", "small-col9", saved(1, 1, u"x", off));
    off = kClassic;
    off[7] = 32;  // on top of piece 8
    put("saved_game", "overlap-7-8", saved(1, 1, u"x", off));
    off = kClassic;
    off[1] = 11;  // the wide piece inside the square
    put("saved_game", "overlap-0-1", saved(1, 1, u"x", off));
    put("saved_game", "all-ff", Bytes(36, 0xFF));
    put("saved_game", "all-zero", Bytes(36, 0x00));

    // Game names, as UTF-16LE.
    put("game_name", "plain", utf16(u"My game"));
    put("game_name", "with-spaces", utf16(u" a b  c "));
    put("game_name", "len-32", utf16(std::u16string(32, u'n')));
    put("game_name", "len-33", utf16(std::u16string(33, u'n')));
    put("game_name", "len-33-with-dot", utf16(std::u16string(32, u'n') + u"."));
    const char16_t* illegal = u"\"\\*?.:";
    for (int i = 0; illegal[i]; ++i) put("game_name", "illegal-" + std::to_string(i), utf16(std::u16string(u"ab") + illegal[i]));
    put("game_name", "tab", utf16(u"a\tb"));
    put("game_name", "nul", utf16(std::u16string(u"a\0b", 3)));
    put("game_name", "y-diaeresis", utf16(u"caf\u00ff"));
    put("game_name", "euro-and-latin1", utf16(u"\u20ac\u00e9\u00a0\u0152"));
    put("game_name", "slash", utf16(u"a/b"));
    put("game_name", "c1-undefined", utf16(u"\u0081\u008d"));
    put("game_name", "not-in-page", utf16(u"\u4e2d\u6587"));
    put("game_name", "surrogate-pair", utf16(u"\U0001F600x"));
    put("game_name", "lone-high", utf16(u"a\xd800"));
    put("game_name", "lone-low", utf16(u"\xdc00z"));
    put("game_name", "33-with-pairs", utf16(std::u16string(31, u'a') + u"\U0001F600\U0001F600"));
    put("game_name", "odd-length", Bytes{'a', 0, 'b'});
    put("game_name", "empty", Bytes{});

    // The codec.
    Bytes all(256);
    for (int b = 0; b < 256; ++b) all[static_cast<std::size_t>(b)] = static_cast<std::uint8_t>(b);
    put("cp1252", "all-256", all);
    put("cp1252", "empty", Bytes{});
    put("cp1252", "high-block", Bytes{0x80, 0x81, 0x8D, 0x8F, 0x90, 0x9D, 0x9F, 0xFF});
    put("cp1252", "code-points", Bytes{0xAC, 0x20, 0, 0, 0x78, 0x01, 0, 0, 0xFF, 0, 0, 0, 0x00, 0xD8, 0, 0, 0x00, 0xF6, 0x01, 0});
    put("cp1252", "utf16-units", utf16(u"\u20ac\u2122\u0081\u00ff\xd800\u4e2d"));
    return 0;
}
