#include "game/savefile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <set>
#include <utility>
#include <vector>

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

namespace {

ReadFn gRead = ::pread;
WriteFn gWrite = ::pwrite;

// Paths whose file could not be read in this run (kept), and the failures already told.
std::mutex gStateMutex;
std::set<std::string> gKept;
std::set<std::pair<std::string, int>> gTold;

// A temporary file older than this is taken as left by a write that never finished.
constexpr time_t kStaleSeconds = 3600;
// The tail after the 308 bytes is copied through a buffer of this size.
constexpr size_t kChunk = 64 * 1024;
// At most this many symbolic links are followed (the system's own limit is 40).
constexpr int kMaxLinks = 40;

// Reads up to n bytes at offset at (fewer only at the end of the file); false, with errno
// set, on an error. An interrupted read is repeated.
bool ReadAt(int fd, uint8_t* p, size_t n, off_t at, size_t& got) {
  got = 0;
  while (got < n) {
    ssize_t r = gRead(fd, p + got, n - got, at + static_cast<off_t>(got));
    if (r < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (r == 0) break;
    got += static_cast<size_t>(r);
  }
  return true;
}

// Writes all n bytes at offset at; false, with errno set, on an error. An interrupted or
// partial write goes on with what is left.
bool WriteAt(int fd, const uint8_t* p, size_t n, off_t at) {
  while (n > 0) {
    ssize_t w = gWrite(fd, p, n, at);
    if (w < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (w == 0) {
      errno = ENOSPC;
      return false;
    }
    p += w;
    n -= static_cast<size_t>(w);
    at += w;
  }
  return true;
}

// 0, or the errno of a failed flush.
int Sync(int fd) {
  while (::fsync(fd) != 0)
    if (errno != EINTR) return errno;
  return 0;
}

std::string DirName(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string BaseName(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Flushes the folder, so that a renamed entry in it survives a power cut. A file system that
// cannot flush folders has nothing more to do, so a failure here is not one of the save.
void SyncFolder(const std::string& dir) {
  int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  Sync(fd);
  ::close(fd);
}

// The name the file has, following symbolic links at the last part of path (a relative link
// is taken from the link's folder). The name may not exist yet (a link to a file not yet
// made). False, with err set, on a chain of links that is too long or cannot be read.
bool Resolve(const std::string& path, std::string& out, int& err) {
  std::string cur = path;
  for (int hops = 0; hops <= kMaxLinks; ++hops) {
    struct stat st;
    if (::lstat(cur.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
      out = cur;
      return true;
    }
    char buf[PATH_MAX];
    ssize_t n = ::readlink(cur.c_str(), buf, sizeof buf);
    if (n < 0) {
      err = errno;
      return false;
    }
    if (n == 0 || static_cast<size_t>(n) >= sizeof buf) {
      err = n == 0 ? ENOENT : ENAMETOOLONG;
      return false;
    }
    std::string link(buf, static_cast<size_t>(n));
    cur = link[0] == '/' ? link : DirName(cur) + "/" + link;
  }
  err = ELOOP;
  return false;
}

// Whether name is one the writer gives its temporary files beside base: base + ".tmp" (the
// single name of earlier versions) or base + ".tmp.<pid>.<hex>".
bool IsTemporaryName(const std::string& name, const std::string& base) {
  const std::string prefix = base + ".tmp";
  if (name.compare(0, prefix.size(), prefix) != 0) return false;
  if (name.size() == prefix.size()) return true;
  size_t i = prefix.size();
  if (name[i++] != '.') return false;
  size_t digits = 0;
  while (i < name.size() && name[i] >= '0' && name[i] <= '9') ++i, ++digits;
  if (digits == 0 || i >= name.size() || name[i++] != '.') return false;
  size_t hex = 0;
  for (; i < name.size(); ++i, ++hex)
    if (!std::isxdigit(static_cast<unsigned char>(name[i]))) return false;
  return hex > 0;
}

uint64_t RandomBits() {
  static std::atomic<uint64_t> counter{0};
  uint64_t v = 0;
  if (::getrandom(&v, sizeof v, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof v)) {
    struct timespec ts;
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    v = static_cast<uint64_t>(ts.tv_nsec) ^ (static_cast<uint64_t>(ts.tv_sec) << 30);
  }
  return v ^ (++counter * 0x9E3779B97F4A7C15ull);
}

// Makes a new temporary file of a name no one else uses beside target: created exclusively,
// never through a link, so nothing but this file is written. Its descriptor, or -1 (errno
// set).
int MakeTemporary(const std::string& target, mode_t mode, std::string& name) {
  for (int attempt = 0; attempt < 64; ++attempt) {
    char suffix[48];
    std::snprintf(suffix, sizeof suffix, ".tmp.%ld.%016llx", static_cast<long>(::getpid()),
                  static_cast<unsigned long long>(RandomBits()));
    name = target + suffix;
    int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

// Copies what follows the first 308 bytes of from to the same place in to.
bool CopyTail(int from, int to) {
  std::vector<uint8_t> buf(kChunk);
  off_t at = static_cast<off_t>(kSize);
  for (;;) {
    size_t got = 0;
    if (!ReadAt(from, buf.data(), buf.size(), at, got)) return false;
    if (got == 0) return true;
    if (!WriteAt(to, buf.data(), got, at)) return false;
    at += static_cast<off_t>(got);
  }
}

// Writes the image over the start of the existing file, keeping everything after it.
int WriteInPlace(const std::string& target, const uint8_t* image) {
  int fd = ::open(target.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return errno;
  struct stat st;
  int result = 0;
  if (::fstat(fd, &st) != 0)
    result = errno;
  else if (!S_ISREG(st.st_mode))
    result = kNotAFile;
  else if (!WriteAt(fd, image, kSize, 0))
    result = errno;
  else
    result = Sync(fd);
  ::close(fd);
  return result;
}

// Writes the image (and the old file's tail) to a temporary file and renames it over target.
// old is the open old file with its status, or -1 / null when there is none. Sets inPlace,
// answering 0, when the temporary file cannot be made or given the old file's owner, which
// a write over the old file itself does not need.
int WriteReplacing(const std::string& target, const uint8_t* image, int old,
                   const struct stat* oldStat, bool& inPlace) {
  inPlace = false;
  std::string tmp;
  // With an old file the temporary one is private until it has the old owner and mode.
  int fd = MakeTemporary(target, oldStat ? 0600 : 0644, tmp);
  if (fd < 0) {
    if (!oldStat) return errno;
    inPlace = true;
    return 0;
  }
  auto fail = [&](int error) {
    ::close(fd);
    ::unlink(tmp.c_str());
    return error;
  };
  if (oldStat) {
    struct stat mine;
    if (::fstat(fd, &mine) != 0) return fail(errno);
    if ((mine.st_uid != oldStat->st_uid || mine.st_gid != oldStat->st_gid) &&
        ::fchown(fd, oldStat->st_uid, oldStat->st_gid) != 0) {
      fail(0);
      inPlace = true;
      return 0;
    }
    // After the owner: a change of owner clears the set-id bits.
    if (::fchmod(fd, oldStat->st_mode & 07777) != 0) return fail(errno);
  }
  if (!WriteAt(fd, image, kSize, 0)) return fail(errno);
  if (old >= 0 && !CopyTail(old, fd)) return fail(errno);
  if (int error = Sync(fd)) return fail(error);
  if (::close(fd) != 0) {
    int error = errno;
    ::unlink(tmp.c_str());
    return error;
  }
  if (::rename(tmp.c_str(), target.c_str()) != 0) {
    int error = errno;
    ::unlink(tmp.c_str());
    return error;
  }
  SyncFolder(DirName(target));
  return 0;
}

bool IsKept(const std::string& path) {
  std::lock_guard<std::mutex> lock(gStateMutex);
  return gKept.count(path) != 0;
}

}  // namespace

LoadStatus LoadFrom(const std::string& path, GameData& data, int* error) {
  auto unreadable = [&](int e) {
    if (error) *error = e;
    std::lock_guard<std::mutex> lock(gStateMutex);
    gKept.insert(path);
    return LoadStatus::Unreadable;
  };
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) {
    if (errno == ENOENT || errno == ENOTDIR) return LoadStatus::Missing;
    return unreadable(errno);
  }
  // A folder, pipe or device is never opened (a pipe without a writer would wait for ever).
  if (!S_ISREG(st.st_mode)) return LoadStatus::NotASave;
  int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT ? LoadStatus::Missing : unreadable(errno);
  uint8_t image[kSize];
  size_t got = 0;
  int readError = 0;
  bool plain = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  if (plain && !ReadAt(fd, image, kSize, 0, got)) readError = errno;
  ::close(fd);
  if (readError != 0) return unreadable(readError);
  if (!plain || got < kSize) return LoadStatus::NotASave;
  return Decode(image, kSize, data) ? LoadStatus::Loaded : LoadStatus::NotASave;
}

bool Load(const std::string& path, GameData& data) {
  return LoadFrom(path, data) == LoadStatus::Loaded;
}

int WriteTo(const std::string& path, const GameData& data) {
  if (IsKept(path)) return kKeptUnread;
  uint8_t image[kSize];
  Encode(data, image);

  std::string target;
  int error = 0;
  if (!Resolve(path, target, error)) return error;
  struct stat st;
  if (::lstat(target.c_str(), &st) != 0) {
    if (errno != ENOENT) return errno;
    // The game's own folder is made; the missing folder of a link's target is not (a synced
    // folder that is not there now is no place to create).
    if (target == path && !MakeParents(target)) return errno;
    bool unused = false;
    return WriteReplacing(target, image, -1, nullptr, unused);
  }
  if (S_ISDIR(st.st_mode)) return EISDIR;
  if (!S_ISREG(st.st_mode)) return kNotAFile;
  // The player made it read-only: a file without any write permission is left alone also
  // for a user (root) whom the system would let write it anyway.
  if ((st.st_mode & 0222) == 0) return EACCES;
  if (::access(target.c_str(), W_OK) != 0) return errno;
  // A second hard link would keep the old content if the file were replaced.
  if (st.st_nlink > 1) return WriteInPlace(target, image);

  int old = ::open(target.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  // A file that may be written but not read: its tail can only be kept where it is.
  if (old < 0) return errno == EACCES ? WriteInPlace(target, image) : errno;
  int result = 0;
  bool inPlace = false;
  if (::fstat(old, &st) != 0)
    result = errno;
  else if (!S_ISREG(st.st_mode))
    result = kNotAFile;
  else
    result = WriteReplacing(target, image, old, &st, inPlace);
  ::close(old);
  return inPlace ? WriteInPlace(target, image) : result;
}

bool Write(const std::string& path, const GameData& data) { return WriteTo(path, data) == 0; }

std::string Reason(int code) {
  switch (code) {
    case 0:
      return "no error";
    case kNotAFile:
      return "something other than a file is in its place";
    case kKeptUnread:
      return "it could not be read when the game started, so it is kept as it was";
    default:
      return std::strerror(code);
  }
}

void ReportWriteFailure(const std::string& path, int code) {
  {
    std::lock_guard<std::mutex> lock(gStateMutex);
    if (!gTold.emplace(path, code).second) return;
  }
  std::fprintf(stderr, "vexa: could not save %s: %s\n", path.c_str(), Reason(code).c_str());
}

void ReportUnreadable(const std::string& path, int error) {
  std::fprintf(stderr,
               "vexa: could not read %s: %s; it is kept as it is and this run saves nothing "
               "over it\n",
               path.c_str(), std::strerror(error));
}

void RemoveStaleTemporaries(const std::string& path) {
  std::string target;
  int error = 0;
  if (!Resolve(path, target, error)) return;
  const std::string base = BaseName(target);
  DIR* dir = ::opendir(DirName(target).c_str());
  if (!dir) return;
  const time_t oldest = ::time(nullptr) - kStaleSeconds;
  const uid_t me = ::geteuid();
  while (const struct dirent* e = ::readdir(dir)) {
    if (!IsTemporaryName(e->d_name, base)) continue;
    struct stat st;
    if (::fstatat(::dirfd(dir), e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (!S_ISREG(st.st_mode) || st.st_uid != me || st.st_mtime >= oldest) continue;
    ::unlinkat(::dirfd(dir), e->d_name, 0);
  }
  ::closedir(dir);
}

void SetIoForTesting(ReadFn read, WriteFn write) {
  gRead = read ? read : ::pread;
  gWrite = write ? write : ::pwrite;
}

}  // namespace savefile
