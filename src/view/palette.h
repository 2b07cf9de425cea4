#pragma once
// The colours behind the roles of a Colour. The window takes them from the
// system palette; pictures written off screen (the CLI's, for one) use the
// fixed light palette below, so that they look the same on every machine.

#include "view/canvas.h"

#include <cstdint>

namespace skarvel::view {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

struct Palette {
    Rgb windowBackground, windowText, buttonFace, highlight, highlightText;
    friend bool operator==(const Palette&, const Palette&) = default;
};

constexpr Palette LightPalette() {
    return Palette{
        .windowBackground = {0xFF, 0xFF, 0xFF},
        .windowText = {0x00, 0x00, 0x00},
        .buttonFace = {0xF0, 0xF0, 0xF0},
        .highlight = {0x00, 0x78, 0xD7},
        .highlightText = {0xFF, 0xFF, 0xFF},
    };
}

// A role through the palette; a fixed colour stays as it is.
constexpr Rgb Resolve(Colour colour, const Palette& palette) {
    if (!colour.isRole) {
        return Rgb{colour.r, colour.g, colour.b};
    }
    switch (colour.role) {
    case ColourRole::WindowBackground:
        return palette.windowBackground;
    case ColourRole::WindowText:
        return palette.windowText;
    case ColourRole::ButtonFace:
        return palette.buttonFace;
    case ColourRole::Highlight:
        return palette.highlight;
    case ColourRole::HighlightText:
        return palette.highlightText;
    }
    return palette.windowText;
}

} // namespace skarvel::view
