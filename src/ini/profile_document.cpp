#include "ini/profile_document.h"

#include <cstring>

#include "common/octets.h"
#include "ini/profile_text.h"
#include "ini/profile_utf16.h"

namespace ini {
namespace {

// What a C string argument holds, and whether that breaks a line: one scan for
// the usual argument, which has neither a NUL nor a line break.
std::string_view Argument(std::string_view s, bool* lineBreak) {
  if (!octets::Contient(s, '\0', '\r', '\n')) {
    *lineBreak = false;
    return s;
  }
  s = UpToNul(s);
  *lineBreak = HasLineBreak(s);
  return s;
}

// A key whose new line "key=value" reads back with exactly that name.
bool PlainKey(std::string_view key) {
  return !key.empty() && !IsBlank(key.front()) && !IsBlank(key.back()) && key.front() != ';' &&
         key.front() != '[' && !octets::Contient(key, '=');
}

}  // namespace

std::string_view ProfileDocument::TextStore::Keep(std::string_view a, std::string_view b, std::string_view c) {
  constexpr size_t kBlock = 16 * 1024;
  const size_t n = a.size() + b.size() + c.size();
  char* out;
  if (n > left_) {
    // A large text (a whole file) gets a block of its own; the current one goes on.
    const bool own = n > kBlock / 4;
    blocks_.push_back(std::make_unique_for_overwrite<char[]>(own ? n : kBlock));
    out = blocks_.back().get();
    if (!own) {
      next_ = out + n;
      left_ = kBlock - n;
    }
  } else {
    out = next_;
    next_ += n;
    left_ -= n;
  }
  if (!a.empty()) std::memcpy(out, a.data(), a.size());
  if (!b.empty()) std::memcpy(out + a.size(), b.data(), b.size());
  if (!c.empty()) std::memcpy(out + a.size() + b.size(), c.data(), c.size());
  return {out, n};
}

ProfileDocument::ProfileDocument(std::string_view bytes) { Parse(bytes); }

// The index points into the line list, so a copy re-reads the text instead.
ProfileDocument::ProfileDocument(const ProfileDocument& other) { Parse(other.Serialize()); }

ProfileDocument& ProfileDocument::operator=(const ProfileDocument& other) {
  if (this != &other) Parse(other.Serialize());
  return *this;
}

// CRLF, a lone CR and a lone LF each end a line; a last line without one stays so.
void ProfileDocument::Parse(std::string_view file) {
  lines_.clear();
  utf16_ = IsUtf16Le(file);
  std::string image;
  if (utf16_) {
    image = Utf16LeToImage(file.substr(2));
    // The mark alone is content: the first write puts a line break after it.
    if (image.empty()) lines_.push_back({std::string_view(), Eol::kNone});
  }
  // `file` is never our own text (a copy and a new parse go through Serialize).
  texts_.Clear();
  const std::string_view bytes = texts_.Keep(utf16_ ? std::string_view(image) : file);
  size_t pos = 0;
  while (pos < bytes.size()) {
    const size_t saut = octets::PremierSaut(bytes.substr(pos));
    const size_t end = saut == std::string_view::npos ? bytes.size() : pos + saut;
    if (end == bytes.size()) {
      lines_.push_back({bytes.substr(pos), Eol::kNone});
      break;
    }
    Eol eol = bytes[end] == '\n' ? Eol::kLf : Eol::kCr;
    size_t next = end + 1;
    if (eol == Eol::kCr && next < bytes.size() && bytes[next] == '\n') {
      eol = Eol::kCrLf;
      ++next;
    }
    lines_.push_back({bytes.substr(pos, end - pos), eol});
    pos = next;
  }
  Reindex();
}

void ProfileDocument::Reindex() {
  ++edition_;
  sections_.clear();
  lastSection_.number = kAucune;
  Section* current = nullptr;  // null before the first header and inside a repeated section
  for (LineIt it = lines_.begin(); it != lines_.end(); ++it) {
    const LineInfo info = ClassifyLine(it->text);
    if (info.kind == LineKind::kHeader) {
      auto [n, isNew] = sections_.Inserer(info.name, sections_.Hash(info.name));
      current = isNew ? &sections_[n].valeur : nullptr;
      if (isNew) current->header = current->lastKey = it;
    } else {
      IndexLine(current, it);
    }
  }
}

// A key line of a reachable section: it becomes the insertion point, and the
// key's entry unless an earlier line already holds that name.
void ProfileDocument::IndexLine(Section* section, LineIt line) {
  if (section == nullptr) return;
  const LineInfo info = ClassifyLine(line->text);
  if (info.kind != LineKind::kKey) return;
  section->lastKey = line;
  auto [n, isNew] = section->keys.Inserer(info.name, section->keys.Hash(info.name));
  if (isNew) section->keys[n].valeur = line;
}

uint32_t ProfileDocument::FindSection(std::string_view name, size_t* hash) const {
  if (lastSection_.number < sections_.size() && name == lastSection_.name) {
    *hash = lastSection_.hash;
    return lastSection_.number;
  }
  *hash = sections_.Hash(name);
  const uint32_t n = sections_.Trouver(name, *hash);
  if (n != kAucune) {
    lastSection_.name.assign(name);
    lastSection_.hash = *hash;
    lastSection_.number = n;
  }
  return n;
}

size_t ProfileDocument::KeyHash(std::string_view key) const {
  if (lastKey_.known && key == lastKey_.name) return lastKey_.hash;
  lastKey_.name.assign(key);
  lastKey_.hash = IndexDesNoms<LineIt>::Hash(key);
  lastKey_.known = true;
  return lastKey_.hash;
}

std::optional<std::string> ProfileDocument::Read(std::string_view section,
                                                 std::string_view key) const {
  size_t hash;
  const uint32_t s = FindSection(TrimSpaces(UpToNul(section)), &hash);
  if (s == kAucune) return std::nullopt;
  const Section& sec = sections_[s].valeur;
  key = TrimSpaces(UpToNul(key));
  const uint32_t k = sec.keys.Trouver(key, KeyHash(key));
  if (k == kAucune) return std::nullopt;
  std::string value(Unquote(TrimBlanks(ClassifyLine(sec.keys[k].valeur->text).value)));
  return utf16_ ? ImageForAnsi(value) : value;
}

std::optional<std::string> ProfileDocument::Find(std::string_view section, std::string_view key, Place* place) const {
  // No NUL to look for: the arguments of a pass hold none.
  place->section = TrimSpaces(section);
  place->key = TrimSpaces(key);
  place->edition = edition_;
  place->keyNumber = kAucune;
  size_t hash;
  place->sectionNumber = FindSection(place->section, &hash);
  place->keyHash = IndexDesNoms<LineIt>::Hash(place->key);  // the place carries it to the write
  if (place->sectionNumber == kAucune) return std::nullopt;
  const Section& sec = sections_[place->sectionNumber].valeur;
  place->keyNumber = sec.keys.Trouver(place->key, place->keyHash);
  if (place->keyNumber == kAucune) return std::nullopt;
  std::string value(Unquote(TrimBlanks(ClassifyLine(sec.keys[place->keyNumber].valeur->text).value)));
  return utf16_ ? ImageForAnsi(value) : value;
}

bool ProfileDocument::WriteAt(const Place& place, std::string_view value, bool* added) {
  const size_t first = place.key.find_first_not_of(" \t\v");
  if (place.edition != edition_ || (first != std::string_view::npos && place.key[first] == '['))
    return Write(place.section, place.key, value, true, added);
  return WriteThere(place, value, added);
}

// The write at a place that holds: the key's line rewritten, or a new line
// after the section's last key, or a new section at the end.
bool ProfileDocument::WriteThere(const Place& place, std::string_view value, bool* added) {
  if (added) *added = false;
  ++edition_;
  if (place.sectionNumber == kAucune) {
    Append(place.section, place.key, value);
  } else if (place.keyNumber != kAucune) {
    auto& entry = sections_[place.sectionNumber].valeur.keys[place.keyNumber];
    if (!Replace(entry.valeur, value)) return false;
    entry.nom = ClassifyLine(entry.valeur->text).name;  // its name is now in the new text
    return true;
  } else {
    Insert(sections_[place.sectionNumber].valeur, place.key, value, place.keyHash);
  }
  if (added) *added = true;
  return true;
}

bool ProfileDocument::Write(std::string_view section, std::string_view key, std::string_view value, bool* added) {
  return Write(section, key, value, false, added);
}

bool ProfileDocument::WritePlain(std::string_view section, std::string_view key, std::string_view value,
                                 bool* added) {
  return Write(section, key, value, true, added);
}

// `scanned`: the caller knows that no argument holds a NUL or a line break.
bool ProfileDocument::Write(std::string_view section, std::string_view key, std::string_view value, bool scanned,
                            bool* added) {
  if (added) *added = false;
  bool sectionBreaks = false, keyBreaks = false, valueBreaks = false;
  if (!scanned) {
    section = Argument(section, &sectionBreaks);
    key = Argument(key, &keyBreaks);
    value = Argument(value, &valueBreaks);
  }
  Place place;
  place.section = TrimSpaces(section);
  place.key = TrimSpaces(key);
  key = place.key;
  // A line break in any argument, or a key that reads back as a header, changes
  // the file's structure beyond the one line: the result is then read afresh.
  const size_t first = key.find_first_not_of(" \t\v");
  const bool restructures = sectionBreaks || keyBreaks || valueBreaks ||
                            (first != std::string_view::npos && key[first] == '[');
  size_t sectionHash;
  place.sectionNumber = FindSection(place.section, &sectionHash);
  if (place.sectionNumber != kAucune) {
    place.keyHash = KeyHash(key);
    place.keyNumber = sections_[place.sectionNumber].valeur.keys.Trouver(key, place.keyHash);
  }
  if (!WriteThere(place, value, added)) return false;
  if (restructures) {
    if (added) *added = false;  // what the key became is not one line any more
    Parse(Serialize());
  }
  return true;
}

bool ProfileDocument::WouldChange(std::string_view section, std::string_view key,
                                  std::string_view value) const {
  size_t hash;
  const uint32_t s = FindSection(TrimSpaces(UpToNul(section)), &hash);
  if (s == kAucune) return true;
  const Section& sec = sections_[s].valeur;
  key = TrimSpaces(UpToNul(key));
  const uint32_t k = sec.keys.Trouver(key, KeyHash(key));
  if (k == kAucune) return true;
  value = UpToNul(value);
  const std::string_view line = sec.keys[k].valeur->text;
  const LineInfo info = ClassifyLine(line);
  if (TrimBlanks(info.value) == value) return false;
  return std::string(info.name).append(1, '=').append(value) != line;
}

bool ProfileDocument::HasSection(std::string_view section) const {
  size_t hash;
  return FindSection(TrimSpaces(UpToNul(section)), &hash) != kAucune;
}

bool ProfileDocument::DeleteKey(std::string_view section, std::string_view key) {
  size_t hash;
  const uint32_t s = FindSection(TrimSpaces(UpToNul(section)), &hash);
  if (s == kAucune) return false;
  const Section& sec = sections_[s].valeur;
  key = TrimSpaces(UpToNul(key));
  const uint32_t k = sec.keys.Trouver(key, KeyHash(key));
  if (k == kAucune) return false;
  lines_.erase(sec.keys[k].valeur);
  Reindex();  // the section's insertion point may have been that line
  return true;
}

bool ProfileDocument::DeleteSection(std::string_view section) {
  size_t hash;
  const uint32_t s = FindSection(TrimSpaces(UpToNul(section)), &hash);
  if (s == kAucune) return false;
  LineIt it = lines_.erase(sections_[s].valeur.header);
  while (it != lines_.end()) {
    const LineKind kind = ClassifyLine(it->text).kind;
    if (kind == LineKind::kHeader) break;
    it = kind == LineKind::kKey ? lines_.erase(it) : std::next(it);
  }
  Reindex();  // a later section of that name becomes the one reads find
  return true;
}

// The line is rewritten as "name=value" with the file's spelling of the name.
// A stored value that trims to the new one is left alone, spacing and all:
// there is nothing to write.
bool ProfileDocument::Replace(LineIt line, std::string_view value) {
  const LineInfo info = ClassifyLine(line->text);
  if (TrimBlanks(info.value) == value) return false;
  const std::string_view text = line->text;
  if (text.size() == info.name.size() + 1 + value.size() && text.starts_with(info.name) &&
      text[info.name.size()] == '=' && text.ends_with(value))
    return false;  // the line is "name=value" already
  line->text = texts_.Keep(info.name, "=", value);
  Terminate(*line);
  return true;
}

// The line "key=value"; `hash` is the key's.
void ProfileDocument::Insert(Section& section, std::string_view key, std::string_view value, size_t hash) {
  Terminate(*section.lastKey);
  const LineIt line = lines_.insert(std::next(section.lastKey), {texts_.Keep(key, "=", value), Eol::kCrLf});
  if (!PlainKey(key)) return IndexLine(&section, line);
  section.lastKey = line;
  section.keys[section.keys.Ajouter(line->text.substr(0, key.size()), hash)].valeur = line;
}

// A new section goes to the end; a file whose last byte is not LF first gets "\r\n".
void ProfileDocument::Append(std::string_view section, std::string_view key, std::string_view value) {
  if (!lines_.empty()) {
    if (lines_.back().eol == Eol::kNone) lines_.back().eol = Eol::kCrLf;
    else if (lines_.back().eol == Eol::kCr) lines_.push_back({std::string_view(), Eol::kCrLf});
  }
  const LineIt head = lines_.insert(lines_.end(), {texts_.Keep("[", section, "]"), Eol::kCrLf});
  const LineIt line = lines_.insert(lines_.end(), {texts_.Keep(key, "=", value), Eol::kCrLf});
  const std::string_view name = ClassifyLine(head->text).name;
  auto [n, isNew] = sections_.Inserer(name, sections_.Hash(name));
  if (!isNew) return;  // a name such as "a]b" reads back as an earlier section
  Section& added = sections_[n].valeur;
  added.header = added.lastKey = head;
  IndexLine(&added, line);
}

void ProfileDocument::Terminate(Line& line) {
  if (line.eol == Eol::kNone) line.eol = Eol::kCrLf;
}

std::string ProfileDocument::Serialize() const {
  static constexpr std::string_view kEol[] = {"", "\r", "\n", "\r\n"};
  size_t size = 0;
  for (const Line& line : lines_) size += line.text.size() + kEol[static_cast<int>(line.eol)].size();
  std::string bytes;
  bytes.reserve(size);  // one allocation for a file of a thousand lines
  for (const Line& line : lines_) {
    bytes.append(line.text);
    if (line.eol == Eol::kCr || line.eol == Eol::kCrLf) bytes.push_back('\r');
    if (line.eol == Eol::kLf || line.eol == Eol::kCrLf) bytes.push_back('\n');
  }
  return utf16_ ? "\xFF\xFE" + ImageToUtf16Le(bytes) : bytes;
}

std::string NormalizeDefault(std::string_view defaultValue) {
  while (!defaultValue.empty() && defaultValue.back() == ' ') defaultValue.remove_suffix(1);
  return std::string(defaultValue);
}

}  // namespace ini
