// Fonts by face name, resolved the way the desktop resolves them.
#pragma once

#include <SDL_ttf.h>

#include <string>

// Opens the font that fontconfig matches for the face name and weight
// (700 = bold), with an em of pixelSize pixels. An unknown face name gets
// the platform's substitute; a bold request that matches no bold face is
// made bold by SDL_ttf. Null only when no font can be found at all.
TTF_Font* openMatchedFont(const std::string& face, int pixelSize, int weight);

// Pixels for a size in points at the display's vertical resolution
// (96 pixels per inch where the display reports none).
int pointsToPixels(int points, float displayDpi);
