#pragma once
// The fuzz targets that feed a loader by name write each input to one scratch file and pass
// its path, so the input takes the game's own way in: the resource lookup misses and the
// name is read as a file. The file lives on tmpfs when there is one and is removed at exit.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace fuzz {

inline const std::string& ScratchPath() {
  static const std::string path = [] {
    std::string dir = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    std::string tmpl = dir + "/vexa-fuzz-XXXXXX";
    int fd = mkstemp(tmpl.data());
    if (fd < 0) return std::string();
    close(fd);
    static std::string remove;
    remove = tmpl;
    std::atexit([] { unlink(remove.c_str()); });
    return tmpl;
  }();
  return path;
}

// Replaces the scratch file's content with the input; its path, or empty when it cannot be
// written (the target then skips the input).
inline std::string WriteInput(const uint8_t* data, size_t size) {
  const std::string& path = ScratchPath();
  if (path.empty()) return {};
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return {};
  const bool ok = (size == 0 || std::fwrite(data, 1, size, f) == size);
  return std::fclose(f) == 0 && ok ? path : std::string();
}

}  // namespace fuzz
