#include "ini/profile_document.h"

#include "ini/profile_text.h"
#include "ini/profile_utf16.h"

namespace ini {

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
    if (image.empty()) lines_.push_back({std::string(), Eol::kNone});
  }
  const std::string_view bytes = utf16_ ? std::string_view(image) : file;
  size_t pos = 0;
  while (pos < bytes.size()) {
    size_t end = pos;
    while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n') ++end;
    if (end == bytes.size()) {
      lines_.push_back({std::string(bytes.substr(pos)), Eol::kNone});
      break;
    }
    Eol eol = bytes[end] == '\n' ? Eol::kLf : Eol::kCr;
    size_t next = end + 1;
    if (eol == Eol::kCr && next < bytes.size() && bytes[next] == '\n') {
      eol = Eol::kCrLf;
      ++next;
    }
    lines_.push_back({std::string(bytes.substr(pos, end - pos)), eol});
    pos = next;
  }
  Reindex();
}

void ProfileDocument::Reindex() {
  sections_.clear();
  Section* current = nullptr;  // null before the first header and inside a repeated section
  for (LineIt it = lines_.begin(); it != lines_.end(); ++it) {
    const LineInfo info = ClassifyLine(it->text);
    if (info.kind == LineKind::kHeader) {
      auto [entry, isNew] = sections_.try_emplace(info.name);
      current = isNew ? &entry->second : nullptr;
      if (isNew) entry->second.header = entry->second.lastKey = it;
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
  section->keys.try_emplace(info.name, line);
}

std::optional<std::string> ProfileDocument::Read(std::string_view section,
                                                 std::string_view key) const {
  const auto s = sections_.find(TrimSpaces(UpToNul(section)));
  if (s == sections_.end()) return std::nullopt;
  const auto k = s->second.keys.find(TrimSpaces(UpToNul(key)));
  if (k == s->second.keys.end()) return std::nullopt;
  std::string value(Unquote(TrimBlanks(ClassifyLine(k->second->text).value)));
  return utf16_ ? ImageForAnsi(value) : value;
}

bool ProfileDocument::Write(std::string_view section, std::string_view key,
                            std::string_view value) {
  section = TrimSpaces(UpToNul(section));
  key = TrimSpaces(UpToNul(key));
  value = UpToNul(value);
  // A line break in any argument, or a key that reads back as a header, changes
  // the file's structure beyond the one line: the result is then read afresh.
  const size_t first = key.find_first_not_of(" \t\v");
  const bool restructures = HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value) ||
                            (first != std::string_view::npos && key[first] == '[');
  // Built only for a new line: a run over full files finds almost every key.
  auto text = [&] {
    std::string t;
    t.reserve(key.size() + 1 + value.size());
    t.append(key).append(1, '=').append(value);
    return t;
  };
  const auto s = sections_.find(section);
  if (s == sections_.end()) {
    Append(std::string(1, '[').append(section).append(1, ']'), text());
  } else if (const auto k = s->second.keys.find(key); k != s->second.keys.end()) {
    if (!Replace(k->second, value)) return false;
    auto node = s->second.keys.extract(k);  // its name is now in the new text
    node.key() = ClassifyLine(node.mapped()->text).name;
    s->second.keys.insert(std::move(node));
  } else {
    Insert(s->second, text());
  }
  if (restructures) Parse(Serialize());
  return true;
}

bool ProfileDocument::WouldChange(std::string_view section, std::string_view key,
                                  std::string_view value) const {
  const auto s = sections_.find(TrimSpaces(UpToNul(section)));
  if (s == sections_.end()) return true;
  const auto k = s->second.keys.find(TrimSpaces(UpToNul(key)));
  if (k == s->second.keys.end()) return true;
  value = UpToNul(value);
  const LineInfo info = ClassifyLine(k->second->text);
  if (TrimBlanks(info.value) == value) return false;
  return std::string(info.name).append(1, '=').append(value) != k->second->text;
}

bool ProfileDocument::HasSection(std::string_view section) const {
  return sections_.count(TrimSpaces(UpToNul(section))) != 0;
}

bool ProfileDocument::DeleteKey(std::string_view section, std::string_view key) {
  const auto s = sections_.find(TrimSpaces(UpToNul(section)));
  if (s == sections_.end()) return false;
  const auto k = s->second.keys.find(TrimSpaces(UpToNul(key)));
  if (k == s->second.keys.end()) return false;
  lines_.erase(k->second);
  Reindex();  // the section's insertion point may have been that line
  return true;
}

bool ProfileDocument::DeleteSection(std::string_view section) {
  const auto s = sections_.find(TrimSpaces(UpToNul(section)));
  if (s == sections_.end()) return false;
  LineIt it = lines_.erase(s->second.header);
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
  std::string text = std::string(info.name).append(1, '=').append(value);
  if (text == line->text) return false;
  line->text = std::move(text);
  Terminate(*line);
  return true;
}

void ProfileDocument::Insert(Section& section, std::string text) {
  Terminate(*section.lastKey);
  const LineIt line = lines_.insert(std::next(section.lastKey), {std::move(text), Eol::kCrLf});
  IndexLine(&section, line);
}

// A new section goes to the end; a file whose last byte is not LF first gets "\r\n".
void ProfileDocument::Append(std::string header, std::string text) {
  if (!lines_.empty()) {
    if (lines_.back().eol == Eol::kNone) lines_.back().eol = Eol::kCrLf;
    else if (lines_.back().eol == Eol::kCr) lines_.push_back({std::string(), Eol::kCrLf});
  }
  const LineIt head = lines_.insert(lines_.end(), {std::move(header), Eol::kCrLf});
  const LineIt line = lines_.insert(lines_.end(), {std::move(text), Eol::kCrLf});
  auto [entry, isNew] = sections_.try_emplace(ClassifyLine(head->text).name);
  if (!isNew) return;  // a name such as "a]b" reads back as an earlier section
  entry->second.header = entry->second.lastKey = head;
  IndexLine(&entry->second, line);
}

void ProfileDocument::Terminate(Line& line) {
  if (line.eol == Eol::kNone) line.eol = Eol::kCrLf;
}

std::string ProfileDocument::Serialize() const {
  static constexpr std::string_view kEol[] = {"", "\r", "\n", "\r\n"};
  size_t size = 0;
  for (const Line& line : lines_) size += line.text.size() + 2;
  std::string bytes;
  bytes.reserve(size);
  for (const Line& line : lines_) {
    bytes += line.text;
    bytes += kEol[static_cast<int>(line.eol)];
  }
  return utf16_ ? "\xFF\xFE" + ImageToUtf16Le(bytes) : bytes;
}

std::string NormalizeDefault(std::string_view defaultValue) {
  while (!defaultValue.empty() && defaultValue.back() == ' ') defaultValue.remove_suffix(1);
  return std::string(defaultValue);
}

}  // namespace ini
