// The FT-991A, the radio the program is written for.
#pragma once

#include "radio/yaesu/model.h"

namespace yaesu {

extern const Model ft991a;

}  // namespace yaesu
