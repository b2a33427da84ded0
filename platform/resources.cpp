#include "platform/resources.h"

#include <cstdio>
#include <strings.h>

namespace platform {

bool FindResource(const std::string& type, const std::string& name, ResourceView& out) {
  for (int i = 0; i < kEmbeddedResourceCount; ++i) {
    const EmbeddedResource& r = kEmbeddedResources[i];
    if (strcasecmp(r.Type, type.c_str()) == 0 && strcasecmp(r.Name, name.c_str()) == 0) {
      out.Data = r.Begin;
      out.Size = static_cast<size_t>(r.End - r.Begin);
      return true;
    }
  }
  return false;
}

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& out, size_t maxSize) {
  if (path.empty()) return false;
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  std::vector<uint8_t> data;
  uint8_t buf[65536];
  bool ok = true;
  for (;;) {
    size_t n = std::fread(buf, 1, sizeof buf, f);
    if (n > 0) {
      if (data.size() + n > maxSize) {
        ok = false;
        break;
      }
      data.insert(data.end(), buf, buf + n);
    }
    if (n < sizeof buf) {
      if (std::ferror(f)) ok = false;
      break;
    }
  }
  std::fclose(f);
  if (!ok) return false;
  out.swap(data);
  return true;
}

bool LoadResourceOrFile(const std::string& type, const std::string& name,
                        std::vector<uint8_t>& out) {
  ResourceView view;
  if (FindResource(type, name, view)) {
    out.assign(view.Data, view.Data + view.Size);
    return true;
  }
  return ReadWholeFile(name, out);
}

}  // namespace platform
