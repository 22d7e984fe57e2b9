#include "core/rules.h"

#include <limits>

namespace quorvale {

bool isSolved(const Board& board) {
    return board.at(kExitCol, kExitRow) == 0 && board.at(kExitCol + 1, kExitRow) == 0 &&
           board.at(kExitCol, kExitRow + 1) == 0 && board.at(kExitCol + 1, kExitRow + 1) == 0;
}

std::int32_t addStep(std::int32_t steps) {
    return steps < std::numeric_limits<std::int32_t>::max() ? steps + 1 : steps;
}

std::u16string decimal(std::int64_t value) {
    // Work on the magnitude as unsigned so the most negative value is safe too.
    const bool negative = value < 0;
    std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    std::u16string digits;
    do {
        digits.insert(digits.begin(), static_cast<char16_t>(u'0' + magnitude % 10));
        magnitude /= 10;
    } while (magnitude != 0);
    if (negative) digits.insert(digits.begin(), u'-');
    return digits;
}

std::u16string ascii(const char* text) {
    std::u16string out;
    if (text == nullptr) return out;
    for (const char* p = text; *p != '\0'; ++p) out.push_back(static_cast<char16_t>(static_cast<unsigned char>(*p)));
    return out;
}

std::u16string statusCaption(int levelIndex, const std::u16string& levelName, std::int32_t steps) {
    return ascii("Level: ") + decimal(static_cast<std::int64_t>(levelIndex) + 1) + ascii(" - ") + levelName +
           ascii("    ") + ascii("Steps: ") + decimal(steps);
}

std::u16string shownLevelName(std::u16string name) {
    for (char16_t& c : name) {
        const bool control = c < 0x20 || (c >= 0x7F && c <= 0x9F);  // C0, DEL, C1
        if (control || c == 0x2028 || c == 0x2029) c = u' ';       // and the line and paragraph separators
    }
    return name;
}

std::u16string congratulationText(std::int32_t steps) {
    return ascii("Congratulations!! You finished the game in ") + decimal(steps) + ascii(" steps.");
}

}  // namespace quorvale
