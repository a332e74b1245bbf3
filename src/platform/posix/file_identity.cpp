#include "platform/posix/file_identity.h"

#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix/reasons.h"

namespace platform::posix {
namespace {

constexpr const char* kAccessAcl = "system.posix_acl_access";

std::vector<std::string> attributeNames(int fd) {
  std::vector<std::string> names;
  for (;;) {
    const ssize_t size = ::flistxattr(fd, nullptr, 0);
    if (size <= 0) return names;  // none, or a file system without them
    std::string list(static_cast<size_t>(size), '\0');
    const ssize_t got = ::flistxattr(fd, list.data(), list.size());
    if (got < 0 && errno == ERANGE) continue;  // grew meanwhile
    if (got < 0) return names;
    for (size_t at = 0; at < static_cast<size_t>(got);) {
      const std::string name(list.c_str() + at);
      at += name.size() + 1;
      if (!name.empty()) names.push_back(name);
    }
    return names;
  }
}

// Labels set by the system's security policy are its business: a refusal to copy one is no failure.
bool systemOwned(const std::string& name) { return name.rfind("security.", 0) == 0 || name.rfind("trusted.", 0) == 0; }

}  // namespace

bool CaptureIdentity(int fd, const struct stat& st, FileIdentity* identity, std::string* reason) {
  identity->owner = st.st_uid;
  identity->group = st.st_gid;
  identity->mode = st.st_mode & 07777;
  identity->attributes.clear();
  for (const std::string& name : attributeNames(fd)) {
    ssize_t size;
    std::string value;
    do {
      size = ::fgetxattr(fd, name.c_str(), nullptr, 0);
      if (size < 0) break;
      value.assign(static_cast<size_t>(size), '\0');
      size = ::fgetxattr(fd, name.c_str(), value.data(), value.size());
    } while (size < 0 && errno == ERANGE);
    if (size < 0) {
      if (errno == ENODATA || systemOwned(name)) continue;
      *reason = "attributs étendus du fichier illisibles: " + FrenchReason(errno);
      return false;
    }
    value.resize(static_cast<size_t>(size));
    identity->attributes.emplace_back(name, std::move(value));
  }
  return true;
}

bool ApplyIdentity(int fd, const FileIdentity& identity, std::string* reason) {
  struct stat now;
  if (::fstat(fd, &now) != 0) {
    *reason = FrenchReason(errno);
    return false;
  }
  if ((now.st_uid != identity.owner || now.st_gid != identity.group) &&
      ::fchown(fd, identity.owner, identity.group) != 0) {
    *reason = "le fichier appartient à l'utilisateur " + std::to_string(identity.owner) + " (groupe " +
              std::to_string(identity.group) + "): le remplacer sous l'utilisateur " + std::to_string(::geteuid()) +
              " lui en retirerait la propriété; enregistrez sous le compte propriétaire ou en root";
    return false;
  }
  // A folder's default ACL lands on every new file: the old file's own ACL, or none, is what stays.
  bool oldHasAcl = false;
  for (const auto& [name, value] : identity.attributes) oldHasAcl = oldHasAcl || name == kAccessAcl;
  if (!oldHasAcl) ::fremovexattr(fd, kAccessAcl);
  for (const auto& [name, value] : identity.attributes) {
    if (::fsetxattr(fd, name.c_str(), value.data(), value.size(), 0) == 0 || systemOwned(name)) continue;
    *reason = "attributs étendus du fichier impossibles à garder (" + name + "): " + FrenchReason(errno);
    return false;
  }
  // Last: the ACL's mask follows the group bits, and a change of owner clears set-id bits.
  if (::fchmod(fd, identity.mode) != 0) {
    *reason = FrenchReason(errno);
    return false;
  }
  return true;
}

}  // namespace platform::posix
