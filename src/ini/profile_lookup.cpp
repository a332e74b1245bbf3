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

}  // namespace ini
