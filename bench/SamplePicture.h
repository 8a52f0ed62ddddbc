// The picture the benchmarks work on: a photograph-like 24-bit bitmap file,
// made afresh each run rather than kept in the repository.
#pragma once

#include <cstdint>
#include <vector>

namespace quorvane::bench {

// 24 megapixels, as from an ordinary camera.
inline constexpr int kPhotoWidth = 6000;
inline constexpr int kPhotoHeight = 4000;

// The bytes of a bottom-up 24-bit BMP file: soft gradients, a few
// hard-edged shapes and a little sensor noise, so the entropy coder has
// realistic work to do.
std::vector<uint8_t> PhotoLikeBmp(int width = kPhotoWidth, int height = kPhotoHeight);

}  // namespace quorvane::bench
