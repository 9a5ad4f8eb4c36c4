#include "platform/sound_names.h"

#include <algorithm>

std::string soundFileName(std::string_view name) {
  std::string file(name);
  std::replace(file.begin(), file.end(), '\\', '/');
  std::size_t base = file.rfind('/');
  base = base == std::string::npos ? 0 : base + 1;
  if (file.find('.', base) == std::string::npos) file += ".wav";
  return file;
}
