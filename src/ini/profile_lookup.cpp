#include "ini/profile_lookup.h"

#include "ini/profile_document.h"
#include "ini/profile_text.h"
#include "ini/profile_utf16.h"

namespace ini {
namespace {

// `name` folded equals `folded`, without building the folded copy.
bool SameFolded(std::string_view name, std::string_view folded) {
  if (name.size() != folded.size()) return false;
  for (size_t i = 0; i < name.size(); ++i)
    if (FoldCase(name[i]) != folded[i]) return false;
  return true;
}

}  // namespace

std::optional<std::string> ReadKey(std::string_view bytes, std::string_view section, std::string_view key,
                                   bool* sectionFound) {
  bool found = false;
  if (!sectionFound) sectionFound = &found;
  *sectionFound = false;
  if (IsUtf16Le(bytes)) {  // not the bytes of the code page
    const ProfileDocument document(bytes);
    *sectionFound = document.HasSection(section);
    return document.Read(section, key);
  }
  const std::string s = FoldName(TrimSpaces(UpToNul(section)));
  const std::string k = FoldName(TrimSpaces(UpToNul(key)));
  bool inside = false;  // in the first section of that name, the only one a read reaches
  size_t pos = 0;
  while (pos < bytes.size()) {
    // Lines end as the document splits them: CRLF, a lone CR, a lone LF.
    size_t end = pos;
    while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n') ++end;
    const LineInfo info = ClassifyLine(bytes.substr(pos, end - pos));
    if (info.kind == LineKind::kHeader) {
      if (inside) return std::nullopt;  // later sections of the same name are out of reach
      inside = SameFolded(info.name, s);
      *sectionFound = *sectionFound || inside;
    } else if (inside && info.kind == LineKind::kKey && SameFolded(info.name, k)) {
      return std::string(Unquote(TrimBlanks(info.value)));
    }
    pos = end + (end + 1 < bytes.size() && bytes[end] == '\r' && bytes[end + 1] == '\n' ? 2 : 1);
  }
  return std::nullopt;
}

namespace {

// Each line of the code page's bytes, as the document splits them: CRLF, a lone CR, a lone LF.
template <class F>
void eachLine(std::string_view bytes, F&& f) {
  size_t pos = 0;
  while (pos < bytes.size()) {
    size_t end = pos;
    while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n') ++end;
    if (!f(ClassifyLine(bytes.substr(pos, end - pos)))) return;
    pos = end + (end + 1 < bytes.size() && bytes[end] == '\r' && bytes[end + 1] == '\n' ? 2 : 1);
  }
}

}  // namespace

std::vector<std::string> SectionNames(std::string_view bytes) {
  if (IsUtf16Le(bytes)) {
    const std::string image = Utf16LeToImage(bytes);
    std::vector<std::string> names = SectionNames(image);
    for (std::string& n : names) n = ImageForAnsi(n);
    return names;
  }
  std::vector<std::string> names;
  // "[]" has no place in a list whose names end at a NUL: it is left out.
  eachLine(bytes, [&](const LineInfo& info) {
    if (info.kind == LineKind::kHeader && !info.name.empty()) names.emplace_back(info.name);
    return true;
  });
  return names;
}

std::optional<std::vector<std::string>> KeyNames(std::string_view bytes, std::string_view section) {
  if (IsUtf16Le(bytes)) {
    const std::string image = Utf16LeToImage(bytes);
    std::optional<std::vector<std::string>> names = KeyNames(image, section);
    if (names)
      for (std::string& n : *names) n = ImageForAnsi(n);
    return names;
  }
  const std::string s = FoldName(TrimSpaces(UpToNul(section)));
  std::optional<std::vector<std::string>> names;
  eachLine(bytes, [&](const LineInfo& info) {
    if (info.kind == LineKind::kHeader) {
      if (names) return false;  // later sections of the same name are out of reach
      if (SameFolded(info.name, s)) names.emplace();
    } else if (names && info.kind == LineKind::kKey) {
      names->emplace_back(info.name);
    }
    return true;
  });
  return names;
}

}  // namespace ini
