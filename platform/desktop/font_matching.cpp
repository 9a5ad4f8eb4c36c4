#include "platform/desktop/font_matching.h"

#include <fontconfig/fontconfig.h>

#include <cmath>

namespace {

constexpr float fallbackDpi = 96.0F;
constexpr int boldWeight = 700;

}  // namespace

int pointsToPixels(int points, float displayDpi) {
  float dpi = displayDpi > 0.0F ? displayDpi : fallbackDpi;
  return static_cast<int>(std::lround(points * dpi / 72.0F));
}

TTF_Font* openMatchedFont(const std::string& face, int pixelSize, int weight) {
  if (!FcInit()) return nullptr;
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(face.c_str()));
  FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(weight));
  FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);

  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  FcPatternDestroy(pattern);
  if (match == nullptr) return nullptr;

  TTF_Font* font = nullptr;
  FcChar8* file = nullptr;
  int index = 0;
  int matchedWeight = FC_WEIGHT_REGULAR;
  if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
    FcPatternGetInteger(match, FC_INDEX, 0, &index);
    FcPatternGetInteger(match, FC_WEIGHT, 0, &matchedWeight);
    font = TTF_OpenFontIndex(reinterpret_cast<const char*>(file), pixelSize, index);
  }
  FcPatternDestroy(match);
  if (font != nullptr && weight >= boldWeight && matchedWeight < FC_WEIGHT_BOLD) {
    TTF_SetFontStyle(font, TTF_STYLE_BOLD);
  }
  return font;
}
