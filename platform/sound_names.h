// How a sound's name becomes a file name: the "\" of the program's folder
// prefix ("wave\") becomes "/", and a name without an extension gets ".wav".
#pragma once

#include <string>
#include <string_view>

std::string soundFileName(std::string_view name);
