// How the editor draws the document: its own preview, or as one of the NXT
// firmwares would draw the file's bytes.
#pragma once

#include <array>
#include <optional>

#include "BrickRenderer.h"

namespace tavlin {

enum class DisplayMode { TavlinPreview, BrickLego, BrickEnhanced131, BrickEnhanced132 };

constexpr std::array<DisplayMode, 4> kDisplayModes = {
    DisplayMode::TavlinPreview, DisplayMode::BrickLego, DisplayMode::BrickEnhanced131,
    DisplayMode::BrickEnhanced132};

// "Tavlin preview", "NXT LEGO firmware", "NXT enhanced 1.31", "NXT enhanced 1.32".
constexpr const char* DisplayModeCaption(DisplayMode mode) {
  switch (mode) {
    case DisplayMode::TavlinPreview:
      return "Tavlin preview";
    case DisplayMode::BrickLego:
      return "NXT LEGO firmware";
    case DisplayMode::BrickEnhanced131:
      return "NXT enhanced 1.31";
    case DisplayMode::BrickEnhanced132:
      return "NXT enhanced 1.32";
  }
  return "Tavlin preview";
}

// The firmware a brick mode runs; nothing for the editor's own preview.
constexpr std::optional<BrickVariant> BrickVariantOf(DisplayMode mode) {
  switch (mode) {
    case DisplayMode::TavlinPreview:
      return std::nullopt;
    case DisplayMode::BrickLego:
      return BrickVariant::Lego;
    case DisplayMode::BrickEnhanced131:
      return BrickVariant::Enhanced131;
    case DisplayMode::BrickEnhanced132:
      return BrickVariant::Enhanced132;
  }
  return std::nullopt;
}

}  // namespace tavlin
