#include "levelsource.h"

#include <array>
#include <sstream>

#include "core/cp1252.h"

namespace quorvale::levels {

namespace {

std::string rstrip(std::string s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.pop_back();
    return s;
}

std::string lineRef(int line) { return "line " + std::to_string(line) + ": "; }

}  // namespace

std::string sourceHeader() {
    return "# Quorvale levels: the readable source of data/qvl.ZHN.\n"
           "# Compile it with:  qvl-levels compile data/levels.txt data/qvl.ZHN\n"
           "#\n"
           "# Lines starting with '#' are comments; blank lines between levels are ignored.\n"
           "# A level is a line \"name: TEXT\" (at most 10 characters that Windows-1252 can\n"
           "# store) followed by five lines of four characters, the board from the top row\n"
           "# down:\n"
           "#   S  the square (2 x 2)      W  the wide piece (2 wide, 1 high)\n"
           "#   T  a tall piece (1 x 2)    o  a small piece (1 x 1)\n"
           "#   .  a free cell\n"
           "# The tall pieces are numbered 2 to 5 and the small ones 6 to 9 in reading\n"
           "# order of their top cells. The file holds exactly 70 levels, level 1 first.\n";
}

bool parseSource(const std::string& text, std::vector<SourceLevel>& levels, std::string& error) {
    levels.clear();
    std::istringstream in(text);
    std::string raw;
    int lineNo = 0;
    SourceLevel current;
    LayoutPicture grid;
    int rows = -1;  // -1: between levels; 0..4: picture rows read so far
    while (std::getline(in, raw)) {
        ++lineNo;
        const std::string line = rstrip(raw);
        if (rows < 0) {
            if (line.empty() || line[0] == '#') continue;
            if (line.rfind("name:", 0) != 0) {
                error = lineRef(lineNo) + "expected a line \"name: TEXT\" to start a level";
                return false;
            }
            std::string name = line.substr(5);
            if (!name.empty() && name[0] == ' ') name.erase(0, 1);
            std::u16string record;
            std::string why;
            if (!recordName(name, record, why)) {
                error = lineRef(lineNo) + why;
                return false;
            }
            current = SourceLevel{name, {}, lineNo};
            rows = 0;
            continue;
        }
        if (line.size() != static_cast<std::size_t>(kBoardCols)) {
            error = lineRef(lineNo) + "expected a board row of 4 characters (S, W, T, o or .), found \"" + line + "\"";
            return false;
        }
        for (char c : line) {
            if (c != 'S' && c != 'W' && c != 'T' && c != 'o' && c != '.') {
                error = lineRef(lineNo) + "unexpected character '" + std::string(1, c) +
                        "' in a board row (use S, W, T, o or .)";
                return false;
            }
        }
        grid[static_cast<std::size_t>(rows++)] = line;
        if (rows == kBoardRows) {
            std::string why;
            if (!layoutFromPicture(grid, current.positions, why)) {
                error = lineRef(current.line) + "level \"" + current.name + "\": " + why;
                return false;
            }
            levels.push_back(current);
            rows = -1;
        }
    }
    if (rows >= 0) {
        error = lineRef(lineNo) + "the text ends inside the board of level \"" + current.name + "\"";
        return false;
    }
    return true;
}

bool formatLevel(const std::string& name, const Positions& positions, std::string& out) {
    if (!layoutProblem(positions).empty()) return false;
    out = "name: " + name + "\n";
    for (const std::string& row : pictureOf(positions, kShapeSymbols)) out += row + "\n";
    return true;
}

namespace {

// C0 and C1 controls and DEL: a terminal would act on them instead of showing them.
bool isControl(char16_t ch) { return ch < 0x20 || (ch >= 0x7F && ch <= 0x9F); }

}  // namespace

std::string displayName(const std::u16string& name) {
    std::u16string trimmed = name;
    while (!trimmed.empty() && (trimmed.back() == u' ' || trimmed.back() == u'\0')) trimmed.pop_back();
    for (char16_t& ch : trimmed) {
        if (isControl(ch)) ch = u' ';
    }
    return encodeUtf8(trimmed);
}

bool recordName(const std::string& utf8, std::u16string& out, std::string& error) {
    std::u16string name;
    if (!decodeUtf8(utf8, name)) {
        error = "the name is not valid UTF-8 text";
        return false;
    }
    while (!name.empty() && name.back() == u' ') name.pop_back();
    if (name.empty()) {
        error = "the level has no name";
        return false;
    }
    for (char16_t ch : name) {
        if (isControl(ch)) {
            error = "the name holds a control character";
            return false;
        }
    }
    const auto bytes = cp1252::encodeText(name);
    if (!bytes) {
        error = "the name \"" + utf8 + "\" has a character that Windows-1252 cannot store";
        return false;
    }
    if (bytes->size() > static_cast<std::size_t>(kLevelNameLength)) {
        error = "the name \"" + utf8 + "\" is longer than 10 characters";
        return false;
    }
    name.resize(kLevelNameLength, u' ');
    out = name;
    return true;
}

bool decodeUtf8(const std::string& in, std::u16string& out) {
    out.clear();
    std::size_t i = 0;
    while (i < in.size()) {
        const auto b = static_cast<unsigned char>(in[i]);
        char32_t cp;
        int extra;
        if (b < 0x80) { cp = b; extra = 0; }
        else if ((b & 0xE0) == 0xC0) { cp = b & 0x1F; extra = 1; }
        else if ((b & 0xF0) == 0xE0) { cp = b & 0x0F; extra = 2; }
        else if ((b & 0xF8) == 0xF0) { cp = b & 0x07; extra = 3; }
        else return false;
        if (i + static_cast<std::size_t>(extra) >= in.size()) return false;  // cut short
        for (int k = 1; k <= extra; ++k) {
            const auto c = static_cast<unsigned char>(in[i + static_cast<std::size_t>(k)]);
            if ((c & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (c & 0x3F);
        }
        static constexpr char32_t kMin[4] = {0, 0x80, 0x800, 0x10000};
        if (cp < kMin[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (cp >> 10));
            out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        } else {
            out += static_cast<char16_t>(cp);
        }
        i += static_cast<std::size_t>(extra) + 1;
    }
    return true;
}

std::string encodeUtf8(const std::u16string& in) {
    std::string out;
    for (std::size_t i = 0; i < in.size(); ++i) {
        char32_t cp = in[i];
        if (cp1252::isHighSurrogate(in[i]) && i + 1 < in.size() && cp1252::isLowSurrogate(in[i + 1])) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (in[i + 1] - 0xDC00);
            ++i;
        } else if (cp1252::isSurrogate(in[i])) {
            cp = 0xFFFD;
        }
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    return out;
}

}  // namespace quorvale::levels
