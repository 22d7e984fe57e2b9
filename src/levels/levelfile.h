// The level file: 70 records of 30 bytes, little-endian, no header.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/littleendian.h"  // the record's fields, for the formats built on it
#include "core/records.h"

namespace quorvale {

constexpr std::size_t kLevelRecordBytes = 30;
constexpr std::size_t kLevelFileBytes = kLevelCount * kLevelRecordBytes;  // 2100

// Every name becomes 10 NUL characters and every position 0.
void clearLevelTable(LevelTable& levels);

// Clears the table, then fills it from the first 2100 bytes of `bytes`.
// Bytes past 2100 are ignored; a shorter input fills what it covers (a record
// cut short keeps the bytes it has, the rest stays cleared).
void readLevelTable(const std::uint8_t* bytes, std::size_t size, LevelTable& levels);

// The 2100 bytes of a table. A name is encoded in Windows-1252 and cut or
// padded with spaces to 10 bytes; nothing when a name has a character the
// code page cannot encode.
std::optional<std::vector<std::uint8_t>> writeLevelTable(const LevelTable& levels);

}  // namespace quorvale
