// Ramps for the tests and the brightness rule in whole numbers, written
// independently of the engine's double arithmetic so that each checks the
// other: floor(v × (100 + offset) ÷ 100) below 0, and
// 65535 − ceil((65535 − v) × (100 − offset) ÷ 100) above it.
#pragma once

#include <cstdint>

#include "tests/unit/fakes.h"

namespace ramps {

// The ramp a display without correction holds: level i × 257 in each channel.
inline fake::Words Identity() {
  fake::Words words{};
  for (int w = 0; w < kRampWords; ++w) words[w] = static_cast<std::uint16_t>(w % 256 * 257);
  return words;
}

// A ramp no formula produces: every word different from its neighbours,
// levels across the whole range, none zero.
inline fake::Words Irregular() {
  fake::Words words{};
  std::uint32_t state = 12345;
  for (auto& word : words) {
    state = state * 1103515245u + 12345u;
    word = static_cast<std::uint16_t>(state >> 16 | 1);
  }
  return words;
}

inline std::uint16_t ScaledLevel(std::uint16_t level, std::int32_t offset) {
  const std::int64_t v = level;
  if (offset < 0) return static_cast<std::uint16_t>(v * (100 + offset) / 100);
  if (offset > 0)
    return static_cast<std::uint16_t>(65535 - ((65535 - v) * (100 - offset) + 99) / 100);
  return level;
}

inline fake::Words Scaled(const fake::Words& captured, std::int32_t offset) {
  fake::Words words{};
  for (int w = 0; w < kRampWords; ++w) words[w] = ScaledLevel(captured[w], offset);
  return words;
}

}  // namespace ramps
