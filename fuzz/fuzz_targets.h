// Fuzz entry points for the file formats and text rules of the game logic,
// and for the file-access layer on real folders.
// Each takes arbitrary bytes, runs them through the real readers and checks
// the properties that must hold for every input, not only that nothing
// crashes. The same functions serve libFuzzer (libfuzzer_main.cpp) and the
// corpus replay of the ordinary test suite (replay_main.cpp).
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/board.h"

namespace quorvale::fuzz {

int levelFile(const std::uint8_t* data, std::size_t size);
int savedGame(const std::uint8_t* data, std::size_t size);
int gameName(const std::uint8_t* data, std::size_t size);
int cp1252Codec(const std::uint8_t* data, std::size_t size);
int fileAccess(const std::uint8_t* data, std::size_t size);

// Reports a broken property and aborts, so that libFuzzer records the input
// as a crash and the replay test fails.
[[noreturn]] void fail(const char* file, int line, const char* condition);

// Name of the input being replayed, shown when a check fails.
void setCurrentInput(const char* name);

// Checked without the game's own code: every piece lies inside the board and
// no two pieces share a cell.
bool layoutFits(const Positions& positions);

// For a layout that fits: places it with the game's placement code and checks
// that every cell holds the piece that covers it and exactly two stay free.
void checkPlacement(const Positions& positions);

// Little-endian reads written out here so the checks do not trust the
// readers under test.
inline int refInt16(const std::uint8_t* p) {
    const int v = p[0] | (p[1] << 8);
    return v >= 0x8000 ? v - 0x10000 : v;
}

inline long long refInt32(const std::uint8_t* p) {
    const unsigned long long v = static_cast<unsigned long long>(p[0]) | (static_cast<unsigned long long>(p[1]) << 8) |
                                 (static_cast<unsigned long long>(p[2]) << 16) |
                                 (static_cast<unsigned long long>(p[3]) << 24);
    return v >= 0x80000000ULL ? static_cast<long long>(v) - 0x100000000LL : static_cast<long long>(v);
}

}  // namespace quorvale::fuzz

#define FUZZ_CHECK(cond)                                                    \
    do {                                                                    \
        if (!(cond)) ::quorvale::fuzz::fail(__FILE__, __LINE__, #cond);     \
    } while (0)
