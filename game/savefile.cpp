#include "game/savefile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/resources.h"

namespace savefile {
namespace {

void PutI32(uint8_t* p, int32_t v) {
  uint32_t u = static_cast<uint32_t>(v);
  p[0] = static_cast<uint8_t>(u);
  p[1] = static_cast<uint8_t>(u >> 8);
  p[2] = static_cast<uint8_t>(u >> 16);
  p[3] = static_cast<uint8_t>(u >> 24);
}

int32_t GetI32(const uint8_t* p) {
  uint32_t u = static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
               (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
  return static_cast<int32_t>(u);
}

constexpr size_t kReservedAt = 16;
constexpr size_t kRankingAt = 28;
constexpr size_t kRowSize = 24;
constexpr size_t kOptionsAt = 268;
constexpr size_t kLastAt = 284;

bool WriteAll(int fd, const uint8_t* p, size_t n) {
  while (n > 0) {
    ssize_t w = ::write(fd, p, n);
    if (w < 0) return false;
    p += w;
    n -= static_cast<size_t>(w);
  }
  return true;
}

}  // namespace

namespace {
std::string gOverride;

// Creates every missing folder of the path's directory part.
bool MakeParents(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos || slash == 0) return true;
  std::string dir = path.substr(0, slash);
  for (size_t i = 1; i <= dir.size(); ++i) {
    if (i == dir.size() || dir[i] == '/') {
      std::string part = dir.substr(0, i);
      if (::mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) return false;
    }
  }
  return true;
}
}  // namespace

std::string ChoosePath(bool localExists, const char* xdgDataHome, const char* home) {
  if (localExists) return "vexa.dat";
  if (xdgDataHome && xdgDataHome[0] == '/') return std::string(xdgDataHome) + "/vexa/vexa.dat";
  if (home && home[0] == '/') return std::string(home) + "/.local/share/vexa/vexa.dat";
  return "vexa.dat";
}

std::string Path() {
  if (!gOverride.empty()) return gOverride;
  struct stat st;
  bool local = ::stat("vexa.dat", &st) == 0;
  return ChoosePath(local, std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
}

void SetPathOverride(const std::string& path) { gOverride = path; }

void Encode(const GameData& d, uint8_t out[kSize]) {
  std::memset(out, 0, kSize);
  std::memcpy(out, kHeader, std::strlen(kHeader));
  std::memcpy(out + kReservedAt, d.Reserved, strnlen(d.Reserved, sizeof d.Reserved));
  for (int i = 0; i < kRankRows; ++i) {
    uint8_t* row = out + kRankingAt + kRowSize * i;
    const TRankEntry& r = d.Ranking[i];
    PutI32(row, r.Score);
    PutI32(row + 4, r.Level);
    PutI32(row + 8, r.Blocks);
    row[12] = r.Difficulty;
    std::memcpy(row + 13, r.Name, sizeof r.Name);
  }
  PutI32(out + kOptionsAt, d.BlockType);
  PutI32(out + kOptionsAt + 4, d.BackType);
  PutI32(out + kOptionsAt + 8, d.BgmType);
  PutI32(out + kOptionsAt + 12, d.ControlType);
  PutI32(out + kLastAt, d.LastScore);
  PutI32(out + kLastAt + 4, d.LastLevel);
  PutI32(out + kLastAt + 8, d.LastBlocks);
  PutI32(out + kLastAt + 12, d.ContinueStage);
  out[kLastAt + 16] = d.LastDifficulty;
  PutI32(out + kLastAt + 20, d.MaxStage);
}

bool Decode(const uint8_t* bytes, size_t size, GameData& d) {
  if (!bytes || size < kSize) return false;
  // The header is the text up to the first NUL.
  const size_t headerLen = std::strlen(kHeader);
  size_t textLen = strnlen(reinterpret_cast<const char*>(bytes), kSize);
  if (textLen != headerLen || std::memcmp(bytes, kHeader, headerLen) != 0) return false;

  std::memset(d.Reserved, 0, sizeof d.Reserved);
  std::memcpy(d.Reserved, bytes + kReservedAt,
              strnlen(reinterpret_cast<const char*>(bytes + kReservedAt), sizeof d.Reserved));
  for (int i = 0; i < kRankRows; ++i) {
    const uint8_t* row = bytes + kRankingAt + kRowSize * i;
    TRankEntry& r = d.Ranking[i];
    r.Score = GetI32(row);
    r.Level = GetI32(row + 4);
    r.Blocks = GetI32(row + 8);
    r.Difficulty = row[12];
    std::memcpy(r.Name, row + 13, sizeof r.Name);
  }
  d.BlockType = GetI32(bytes + kOptionsAt);
  d.BackType = GetI32(bytes + kOptionsAt + 4);
  d.BgmType = GetI32(bytes + kOptionsAt + 8);
  d.ControlType = GetI32(bytes + kOptionsAt + 12);
  d.LastScore = GetI32(bytes + kLastAt);
  d.LastLevel = GetI32(bytes + kLastAt + 4);
  d.LastBlocks = GetI32(bytes + kLastAt + 8);
  d.ContinueStage = GetI32(bytes + kLastAt + 12);
  d.LastDifficulty = bytes[kLastAt + 16];
  d.MaxStage = GetI32(bytes + kLastAt + 20);
  return true;
}

bool Load(const std::string& path, GameData& data) {
  std::vector<uint8_t> bytes;
  struct stat st;
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  if (!platform::ReadWholeFile(path, bytes, 1u << 20)) return false;
  return Decode(bytes.data(), bytes.size(), data);
}

bool Write(const std::string& path, const GameData& data) {
  std::vector<uint8_t> image(kSize);
  Encode(data, image.data());

  struct stat st;
  bool exists = ::stat(path.c_str(), &st) == 0;
  mode_t mode = 0644;
  if (exists) {
    if (!S_ISREG(st.st_mode)) return false;          // a directory or device in the way
    // The player made it read-only: a file without any write permission is left alone also
    // for a user (root) whom the system would let write it anyway.
    if (::access(path.c_str(), W_OK) != 0 || (st.st_mode & 0222) == 0) return false;
    mode = st.st_mode & 07777;
    std::vector<uint8_t> old;
    if (!platform::ReadWholeFile(path, old, 1u << 20)) return false;
    if (old.size() > kSize) image.insert(image.end(), old.begin() + kSize, old.end());
  }

  if (!exists && !MakeParents(path)) return false;
  // The temporary file is always made afresh: a stale one, or a link of that name left
  // pointing elsewhere, is removed first, so nothing but our own new file is written.
  std::string tmp = path + ".tmp";
  ::unlink(tmp.c_str());
  int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
  if (fd < 0) return false;
  bool ok = WriteAll(fd, image.data(), image.size()) && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  if (ok) ok = ::rename(tmp.c_str(), path.c_str()) == 0;
  if (!ok) ::unlink(tmp.c_str());
  return ok;
}

}  // namespace savefile
