#pragma once
// Resources carried inside the executable (everything under resources/ at build time),
// looked up by type ("BITMAP", "WAVE", "MIDI", "BIN") and name, and the loaders' rule:
// first the resource of that name, then the name as a file path.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

struct EmbeddedResource {
  const char* Type;
  const char* Name;
  const unsigned char* Begin;
  const unsigned char* End;
};

extern const EmbeddedResource kEmbeddedResources[];
extern const int kEmbeddedResourceCount;

struct ResourceView {
  const uint8_t* Data = nullptr;
  size_t Size = 0;
};

// Finds an embedded resource; type and name compare ignoring letter case, as resource
// names do. Returns false when there is none.
bool FindResource(const std::string& type, const std::string& name, ResourceView& out);

// Reads a whole file. Returns false when it cannot be opened or read, or is larger than
// maxSize bytes (a guard against a path to a huge or endless file).
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& out,
                   size_t maxSize = 64u * 1024u * 1024u);

// The loaders' lookup: the embedded resource of that type and name, else the name as a
// file path. The bytes are copied into out.
bool LoadResourceOrFile(const std::string& type, const std::string& name,
                        std::vector<uint8_t>& out);

}  // namespace platform
