// What the benchmarks' fake display and toolkit expose to the benchmarks.
#pragma once

#include <array>
#include <cstdint>

namespace bench {

struct Geometry {
  int left = 0, top = 0, width = 0, height = 0;
  bool visible = true;
};

extern long ramps_written;
extern std::uint16_t last_word;
extern int cursor_x;
extern std::array<Geometry, 16> geometry;

}  // namespace bench
