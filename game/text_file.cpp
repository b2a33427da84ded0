#include "game/text_file.h"

#include <unistd.h>

#include <cstdio>
#include <fstream>

bool ReadTextFile(const std::string& path, size_t maxBytes, std::string& text,
                  std::string& error) {
  text.clear();
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "cannot open " + path;
    return false;
  }
  char chunk[16384];
  while (text.size() <= maxBytes && in.read(chunk, sizeof chunk).gcount() > 0)
    text.append(chunk, static_cast<size_t>(in.gcount()));
  if (in.bad()) {
    error = "cannot read " + path;
    return false;
  }
  return true;
}

bool WriteTextFile(const std::string& path, const std::string& text) {
  const std::string tmp = path + ".tmp" + std::to_string(getpid());
  FILE* f = std::fopen(tmp.c_str(), "wb");
  if (!f) return false;
  const bool written = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  const bool closed = std::fclose(f) == 0;
  if (!written || !closed || std::rename(tmp.c_str(), path.c_str()) != 0) {
    std::remove(tmp.c_str());
    return false;
  }
  return true;
}
