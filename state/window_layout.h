// Where the radio's readings stand in the window, in client-area pixels.
#pragma once

namespace layout {
constexpr int frequencyX = 285;
constexpr int frequencyY = 150;
constexpr int frequencyWidth = 23;  // characters: the frequency and the blanks after it
constexpr int sMeterX = 750;
constexpr int sMeterY = 45;
constexpr int sMeterWidth = 4;  // characters: "S9+", "S7  "
}  // namespace layout
