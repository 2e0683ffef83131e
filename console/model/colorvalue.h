#pragma once

#include <QColor>
#include <cstdint>

namespace quorvel {

// Colours as templates store them: a signed 32-bit value whose low three
// bytes are red, green and blue from the lowest byte up. A negative value
// names a system colour (0x80000000 plus the system colour's index), which is
// resolved only when drawing, so it follows the desktop's scheme.
using ColorValue = std::int32_t;

inline constexpr ColorValue clBlack = 0x000000;
inline constexpr ColorValue clRed = 0x0000FF;
inline constexpr ColorValue clWhite = 0xFFFFFF;
inline constexpr ColorValue clWindowText = static_cast<ColorValue>(0x80000008u);

// System colours map onto the application palette; an unknown system
// colour gives black.
QColor colorFromValue(ColorValue value);
// Always an RGB value; the alpha channel is dropped.
ColorValue colorValueOf(const QColor& color);

} // namespace quorvel
