// libFuzzer entry: the input is a file followed by write operations, split at
// 0x01 bytes. Checks the same invariants as the randomised test, on any bytes.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "ini/profile_document.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view in(reinterpret_cast<const char*>(data), size);
  std::vector<std::string_view> parts;
  for (size_t cut; (cut = in.find('\x01')) != in.npos; in.remove_prefix(cut + 1)) parts.push_back(in.substr(0, cut));
  parts.push_back(in);
  ini::ProfileDocument doc(parts[0]);
  if (doc.Serialize() != parts[0]) std::abort();
  for (size_t i = 1; i + 2 < parts.size(); i += 3) {
    doc.Write(parts[i], parts[i + 1], parts[i + 2]);
    const ini::ProfileDocument fresh(doc.Serialize());
    if (doc.Read(parts[i], parts[i + 1]) != fresh.Read(parts[i], parts[i + 1])) std::abort();
  }
  return 0;
}
