// Where the files go on Windows: the real drives. Windows follows its own links
// under its own access rules; nothing is refused on the way beyond what the calls report.
#include "platform/win32/win32_api.h"

namespace platform {

std::string PathRefusal(const std::string&) { return {}; }

std::string WhereFilesGo() { return {}; }

std::string PrefixWithoutDriveC() { return {}; }

bool CreatePrefix(std::string* reason) {
  *reason = "pas de préfixe sous Windows";
  return false;
}

std::string FolderFailureReason(const std::string& path) {
  std::string w = path;
  while (w.size() > 3 && w.back() == '\\') w.pop_back();
  if (win32::RootMissing(w)) return w.size() >= 2 && w[1] == ':' ? "lecteur " + w.substr(0, 2) + " introuvable" : "partage réseau introuvable";
  // The deepest level that exists says why the next one could not be made.
  for (size_t b = w.find('\\', 3); b != std::string::npos; b = w.find('\\', b + 1)) {
    const std::string niveau = w.substr(0, b);
    const uint32_t a = GetAttributes(niveau);
    if (a == kInvalidAttributes) return "accès refusé au dossier " + niveau.substr(0, niveau.find_last_of('\\') + 1);
    if (!(a & kAttrDirectory)) return "un fichier porte le nom " + niveau;
  }
  const uint32_t a = GetAttributes(w);
  if (a != kInvalidAttributes && !(a & kAttrDirectory)) return "un fichier porte le nom " + w;
  return "accès refusé";
}

}  // namespace platform
