#pragma once
// The stream velmora-xls-dump writes on stdout: per row "R", the row number
// (uint64) and eleven cells (uint32 length, bytes); at the end "E"; on a
// failure "X" and a message (uint32 length, bytes). Little-endian, native.
#include <cstdint>

namespace velmora::io::xls_dump {

inline constexpr char kRow = 'R';
inline constexpr char kEnd = 'E';
inline constexpr char kFailure = 'X';
// No cell of a legacy sheet comes near this; anything larger is damage.
inline constexpr std::uint32_t kMaxCellBytes = 16u << 20;

}  // namespace velmora::io::xls_dump
