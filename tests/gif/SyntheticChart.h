#pragma once

// Chart-like test pictures made in memory with our encoder: shared by the encoder tests,
// the benchmark and the fuzzer's seed maker.

#include "gif/GIFEncoder.h"

#include <cstdint>

namespace gif {

// A sea-surface-temperature-like picture: a smooth temperature field coloured through a
// 253-colour ramp (indices 0 to 252), grey land (253) with a black coastline (254) and white
// cloud patches (255), plus the chart's metadata comment before the first image.
EncoderInput makeChartLikeInput(int width, int height);

// The worst case for LZW: uniformly random indices over a 256-colour table.
EncoderInput makeNoisyInput(int width, int height, std::uint32_t seed);

} // namespace gif
