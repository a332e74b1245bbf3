// The Windows-exact profile-file engine: one file's text, edited in place the
// way GetPrivateProfileStringA / WritePrivateProfileStringA edit a file, so that
// the same sequence of calls leaves byte-identical files on both platforms.
//
// Pure: no file or system access. Bytes in and out of Read and Write are
// Windows-1252; the caller converts. A file that starts with the UTF-16LE mark
// stays UTF-16LE, as on Windows.
#pragma once

#include <list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ini/index_des_noms.h"
#include "ini/profile_text.h"

namespace ini {

class ProfileDocument {
 public:
  ProfileDocument() = default;  // an absent or empty file
  explicit ProfileDocument(std::string_view bytes);
  ProfileDocument(const ProfileDocument& other);
  ProfileDocument& operator=(const ProfileDocument& other);
  ProfileDocument(ProfileDocument&&) noexcept = default;
  ProfileDocument& operator=(ProfileDocument&&) noexcept = default;

  // One key as GetPrivateProfileStringA returns it: blanks around the value
  // trimmed, one outer pair of quotes removed, never cut. nullopt when the
  // section or the key is absent (the caller then uses its default).
  // Arguments end at a NUL and lose their outer spaces, as the API sees them.
  std::optional<std::string> Read(std::string_view section, std::string_view key) const;

  // WritePrivateProfileStringA with non-null arguments. An existing key keeps
  // its line and the file's spelling of its name, and the line becomes exactly
  // "name=value" (any spacing around '=' goes). A missing key is inserted right
  // after the last key line of the first matching section; a missing section
  // goes to the end of the file. Every other byte stays as it was.
  // When the stored value, trimmed, already equals `value`, nothing changes.
  // Returns true when the text changed; `added` tells whether the key was new to the file.
  bool Write(std::string_view section, std::string_view key, std::string_view value, bool* added = nullptr);
  // The same, for arguments that hold no NUL and no line break.
  bool WritePlain(std::string_view section, std::string_view key, std::string_view value, bool* added = nullptr);

  // A read and the write that follows it, the key looked up once: Find reads as
  // Read does and notes where the key is, or would go; WriteAt then writes there
  // as WritePlain(section, key, value) would, provided that nothing changed the
  // document in between (else it looks the key up again). The arguments of Find
  // must outlive the write, and neither they nor the value hold a NUL or a line
  // break (Find does not look for them).
  struct Place {
    std::string_view section, key;  // as the profile functions see them
    uint32_t sectionNumber = UINT32_MAX, keyNumber = UINT32_MAX;
    size_t keyHash = 0;
    uint64_t edition = 0;
  };
  std::optional<std::string> Find(std::string_view section, std::string_view key, Place* place) const;
  bool WriteAt(const Place& place, std::string_view value, bool* added);

  // True when Write(section, key, value) would change the text; changes nothing.
  bool WouldChange(std::string_view section, std::string_view key, std::string_view value) const;

  bool HasSection(std::string_view section) const;

  // WritePrivateProfileStringA with a null value: the key's whole line goes,
  // the section's header stays. Returns true when the text changed.
  bool DeleteKey(std::string_view section, std::string_view key);
  // With a null key: the header and the key lines of the first section of that
  // name go; its comments and other lines stay where they were.
  bool DeleteSection(std::string_view section);

  // The whole file as it would be on disk.
  std::string Serialize() const;
  bool Empty() const { return lines_.empty(); }

 private:
  enum class Eol : unsigned char { kNone, kCr, kLf, kCrLf };
  struct Line {
    std::string_view text;  // without its terminator, in `texts_`
    Eol eol;
  };
  // The bytes of the lines: the file's, copied once whole, and those of the
  // lines written since, end to end in blocks that never move, so that a new
  // line costs no allocation of its own. A rewritten line's old text stays
  // until the next parse.
  class TextStore {
   public:
    TextStore() = default;
    // Moved, the blocks go with the lines that view them; the store left behind is empty.
    TextStore(TextStore&& other) noexcept { *this = std::move(other); }
    TextStore& operator=(TextStore&& other) noexcept {
      if (this == &other) return *this;
      blocks_ = std::move(other.blocks_);
      next_ = other.next_;
      left_ = other.left_;
      other.Clear();
      return *this;
    }
    std::string_view Keep(std::string_view a, std::string_view b = {}, std::string_view c = {});
    void Clear() {
      blocks_.clear();
      next_ = nullptr;
      left_ = 0;
    }

   private:
    std::vector<std::unique_ptr<char[]>> blocks_;
    char* next_ = nullptr;
    size_t left_ = 0;
  };
  using Lines = std::list<Line>;
  using LineIt = Lines::iterator;
  // Only the first section of each name is reachable, and in it the first line of each key.
  // Names are compared folded. A name is a view into its own line, whose text
  // lives in a list node that never moves: a line rewritten is indexed again.
  struct Section {
    LineIt header;
    LineIt lastKey;  // where the next new key goes after; the header while there is none
    IndexDesNoms<LineIt> keys;
  };
  static constexpr uint32_t kAucune = IndexDesNoms<LineIt>::kAucune;

  bool Write(std::string_view section, std::string_view key, std::string_view value, bool scanned, bool* added);
  bool WriteThere(const Place& place, std::string_view value, bool* added);
  void Parse(std::string_view bytes);
  void Reindex();
  void IndexLine(Section* section, LineIt line);
  uint32_t FindSection(std::string_view name, size_t* hash) const;
  size_t KeyHash(std::string_view key) const;
  bool Replace(LineIt line, std::string_view value);
  void Insert(Section& section, std::string_view key, std::string_view value, size_t hash);
  void Append(std::string_view section, std::string_view key, std::string_view value);
  static void Terminate(Line& line);

  TextStore texts_;  // before the lines that view it
  Lines lines_;
  IndexDesNoms<Section, true> sections_;  // stable: the parse holds on to the current section
  bool utf16_ = false;  // the lines are the image of a UTF-16LE file
  uint64_t edition_ = 0;  // counts the changes, so that a Place knows it is still true
  // Most calls name the section of the call before, and a write the key its read
  // just named: those are known again by their bytes, without hashing.
  mutable struct {
    std::string name;
    size_t hash = 0;
    uint32_t number = kAucune;
  } lastSection_;
  mutable struct {
    std::string name;
    size_t hash = 0;
    bool known = false;
  } lastKey_;
};

// The default string as GetPrivateProfileStringA hands it back: trailing
// spaces (0x20) removed, nothing else.
std::string NormalizeDefault(std::string_view defaultValue);

}  // namespace ini
