// Preloaded into quelmo by the end-to-end tests and the benchmark. SDL's disk
// audio driver writes each sound buffer with fwrite, which stdio holds back
// until 4 KiB have gathered (four buffers); flushed at each write, the output
// file grows buffer by buffer as the program hands them out, so a test sees
// when each left the program.
#include <dlfcn.h>

#include <cstdio>

extern "C" std::size_t fwrite(const void* data, std::size_t size, std::size_t count,
                              std::FILE* file) {
  using Write = std::size_t (*)(const void*, std::size_t, std::size_t, std::FILE*);
  static Write write = reinterpret_cast<Write>(dlsym(RTLD_NEXT, "fwrite"));
  std::size_t written = write(data, size, count, file);
  std::fflush(file);
  return written;
}
