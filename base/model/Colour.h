// Colours as 0xRRGGBB, the one colour type the core, the renderer and the editor share.
#pragma once

#include <cstdint>

namespace tavlin {

using Rgb = std::uint32_t;

constexpr Rgb RgbOf(int r, int g, int b) {
  return (Rgb(r & 0xFF) << 16) | (Rgb(g & 0xFF) << 8) | Rgb(b & 0xFF);
}

constexpr Rgb kBlack = 0x000000;
constexpr Rgb kWhite = 0xFFFFFF;
constexpr Rgb kGrey = 0xAFAFAF;  // never-drawn sprite pixels and the number box's grey
constexpr Rgb kPreviewRed = 0xFF0000;
constexpr Rgb kBlue = 0x0000FF;

}  // namespace tavlin
