// Paths walked one component at a time through open folders, so that what was
// checked is what is then read, written or created: a folder swapped for a link
// halfway through can make an operation fail, never land elsewhere.
//
// A symbolic link is followed only when it is safe for the one who follows it:
// one's own link always (as the kernel would let one do anyway); otherwise the
// link must belong to root or to the owner of what it leads to, and lie in a
// folder of root or of that owner. A link planted by one account cannot then
// lead another account, root above all, to a file that is not the planter's.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <memory>
#include <string>
#include <vector>

namespace platform::posix {

// An open folder, shared by the resolutions that reached it; closed with the last.
class OpenFolder {
 public:
  explicit OpenFolder(int fd) : fd_(fd) {}
  ~OpenFolder();
  OpenFolder(const OpenFolder&) = delete;
  OpenFolder& operator=(const OpenFolder&) = delete;
  int Fd() const { return fd_; }

 private:
  int fd_;
};
using FolderRef = std::shared_ptr<const OpenFolder>;

// Where a walk ended.
struct Walked {
  FolderRef folder;     // the folder that holds the object, or would hold it; null when none
  std::string name;     // the object's name in it ("." for the folder itself)
  std::string display;  // the host path of that folder and name, for messages
  bool exists = false;
  std::string refused;  // a link the rule refused, or one that leads nowhere: French reason
  bool dangling = false;  // refused because the link leads nowhere
};

// Walks `components` from the open folder `from` (whose host path is `fromDisplay`).
// `anyCase`: a component matches an entry without regard to case (exact spelling
// first), as Windows names do. `spelled` receives, per component walked, its
// spelling in the folder (the entry's own when it exists). The last component's
// link is followed too.
Walked Walk(const FolderRef& from, const std::string& fromDisplay, const std::vector<std::string>& components,
            bool anyCase, std::vector<std::string>* spelled = nullptr);

// The host path `absolute` walked from the host's root, every link checked.
Walked WalkHostPath(const std::string& absolute);

// The uid the rule protects: the effective one.
uid_t Follower();

// True when the object is a folder (stat through the walk's folder, never a link).
bool IsFolder(const Walked& w);
// stat of the object itself; false when it is missing.
bool StatOf(const Walked& w, struct stat* st);

}  // namespace platform::posix
