// The readable source of the level file: per level a name line and a 4 x 5
// picture of the board. See the header of data/levels.txt for the format.
#pragma once

#include <string>
#include <vector>

#include "core/board.h"
#include "solver/layoutpicture.h"
#include "levels/levelfile.h"

namespace quorvale::levels {

// One level of the text: its name as written (UTF-8) and its layout.
struct SourceLevel {
    std::string name;
    Positions positions{};
    int line = 0;  // line of its "name:" line, for messages
};

// Parses a whole source text. On the first error, returns false and sets
// `error` to "line N: what is wrong".
bool parseSource(const std::string& text, std::vector<SourceLevel>& levels, std::string& error);

// The comment block that heads every source file and describes the format.
std::string sourceHeader();

// One level as source text (name line, five picture lines), ending with a
// newline. The name is written without its trailing spaces. Nothing when the
// positions cannot be drawn (not a valid layout).
bool formatLevel(const std::string& name, const Positions& positions, std::string& out);

// A level name for display: UTF-8, trailing spaces and NUL characters removed,
// control characters shown as spaces so they never reach a terminal raw.
std::string displayName(const std::u16string& name);

// A UTF-8 name as the 10-character text of a level record (padded with
// spaces). False with a message when it is empty, too long, not UTF-8 or has
// a character Windows-1252 cannot store.
bool recordName(const std::string& utf8, std::u16string& out, std::string& error);

// UTF-8 helpers. decodeUtf8 fails on malformed input.
bool decodeUtf8(const std::string& in, std::u16string& out);
std::string encodeUtf8(const std::u16string& in);

}  // namespace quorvale::levels
