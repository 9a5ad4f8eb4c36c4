#include "front_panel_fixture.h"

#include <fstream>
#include <iterator>
#include <random>

TemporaryDirectory::TemporaryDirectory() : previous_(std::filesystem::current_path()) {
  std::random_device random;
  do {
    path_ = std::filesystem::temp_directory_path() / ("quelmo-test-" + std::to_string(random()));
  } while (!std::filesystem::create_directory(path_));
  std::filesystem::current_path(path_);
}

TemporaryDirectory::~TemporaryDirectory() {
  std::filesystem::current_path(previous_);
  std::error_code ignored;
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(path_, ignored);
}

void writeFileBytes(const std::filesystem::path& file, const std::string& bytes) {
  std::ofstream out(file, std::ios::binary);
  out << bytes;
}

std::string readFileBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
