#include "front_panel_fixture.h"

#include <sys/resource.h>

#include <csignal>
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

// The signal a write beyond the limit raises is ignored: the write fails.
FileSizeLimit::FileSizeLimit(long long bytes) {
  previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
  rlimit limit{};
  ::getrlimit(RLIMIT_FSIZE, &limit);
  previous_ = static_cast<long long>(limit.rlim_cur);
  limit.rlim_cur = static_cast<rlim_t>(bytes);
  ::setrlimit(RLIMIT_FSIZE, &limit);
}

FileSizeLimit::~FileSizeLimit() {
  rlimit limit{};
  ::getrlimit(RLIMIT_FSIZE, &limit);
  limit.rlim_cur = static_cast<rlim_t>(previous_);
  ::setrlimit(RLIMIT_FSIZE, &limit);
  std::signal(SIGXFSZ, previousHandler_);
}

void writeFileBytes(const std::filesystem::path& file, const std::string& bytes) {
  std::ofstream out(file, std::ios::binary);
  out << bytes;
}

std::string readFileBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
