#include "radio/yaesu/models.h"

#include <array>
#include <cctype>
#include <string>

namespace yaesu {

namespace {

constexpr std::array<const Model*, 15> models = {
    &ft991a, &ft991, &ft891,  &ft710,   &ftdx10,   &ftdx101d, &ftdx101mp, &ft450,
    &ft450d, &ft950, &ft2000, &ft2000d, &ftdx1200, &ftdx3000, &ftdx5000,
};

// The letters and digits of a name, in capitals: "ft-710" is "FT710".
std::string plain(std::string_view name) {
  std::string letters;
  for (char c : name) {
    if (std::isalnum(static_cast<unsigned char>(c)) != 0) {
      letters += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
  }
  return letters;
}

}  // namespace

std::span<const Model* const> family() { return models; }

const Model* modelWithIdentity(int identity) {
  for (const Model* model : models) {
    if (model->identity == identity) return model;
  }
  return nullptr;
}

const Model* modelNamed(std::string_view name) {
  for (const Model* model : models) {
    if (plain(model->name) == plain(name)) return model;
  }
  return nullptr;
}

}  // namespace yaesu
