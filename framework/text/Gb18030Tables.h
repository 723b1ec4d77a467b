// GB18030 mapping data (generated into Gb18030Tables.cpp by make_gb18030_tables.py).
#pragma once

#include <cstddef>
#include <cstdint>

namespace gb18030 {

// Two-byte codes: lead 0x81..0xFE, trail 0x40..0x7E and 0x80..0xFE; 0 = unassigned.
constexpr std::size_t kTrailCount = 190;
constexpr std::size_t kTwoByteCount = 126 * kTrailCount;
extern const std::uint16_t kTwoByte[kTwoByteCount];

// Four-byte codes of the BMP, as runs of consecutive code points on consecutive linear indexes
// (linear index of b1 b2 b3 b4 = (((b1-0x81)*10 + b2-0x30)*126 + b3-0x81)*10 + b4-0x30).
struct FourByteRange {
  std::uint32_t index;
  std::uint32_t codePoint;
  std::uint32_t length;
};
constexpr std::size_t kFourByteRangeCount = 206;
extern const FourByteRange kFourByteRanges[kFourByteRangeCount];

}  // namespace gb18030
