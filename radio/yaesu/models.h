// The models of the Yaesu FT family the program has a table for, and how a
// radio is matched to one: by its answer to "ID;". The FT-991A, the radio
// the program was written for, is spoken to until a radio names itself.
#pragma once

#include <span>
#include <string_view>

#include "radio/yaesu/model.h"

namespace yaesu {

// Nine digits (ft991a.cpp, nine_digit_models.cpp).
extern const Model ft991a;
extern const Model ft991;
extern const Model ft891;
extern const Model ft710;
extern const Model ftdx10;
extern const Model ftdx101d;
extern const Model ftdx101mp;
// Eight digits (eight_digit_models.cpp).
extern const Model ft450;
extern const Model ft450d;
extern const Model ft950;
extern const Model ft2000;
extern const Model ft2000d;
extern const Model ftdx1200;
extern const Model ftdx3000;
extern const Model ftdx5000;

// Every model of the table, the FT-991A first.
std::span<const Model* const> family();

// The table a radio is spoken to with until it gives its identity, and
// when it gives one the table does not have.
inline const Model& writtenModel() { return ft991a; }

// The model whose radio answers "ID;" with this number; none for another.
const Model* modelWithIdentity(int identity);

// The model of this name, its letter case, blanks and dashes aside
// ("ftdx101mp", "FT-710"); none for another.
const Model* modelNamed(std::string_view name);

}  // namespace yaesu
