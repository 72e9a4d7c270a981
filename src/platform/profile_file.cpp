#include "platform/profile_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/file_replace.h"

namespace tomeferry::platform {
namespace {

// The reader's buffer is 10240 bytes, one of which holds the terminating zero.
constexpr std::size_t kMaxValueBytes = 10239;

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r'; }

std::string_view trim(std::string_view s) {
  while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
  return s;
}

// Letter case is ignored for ASCII letters only; the second byte of a GBK character may
// itself look like a letter and must keep its case, or two different characters would match.
bool sameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto x = static_cast<unsigned char>(a[i]);
    const auto y = static_cast<unsigned char>(b[i]);
    if (x >= 0x81 && x <= 0xFE && i + 1 < a.size()) {
      if (x != y || a[i + 1] != b[i + 1]) return false;
      ++i;
      continue;
    }
    const auto lower = [](unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c; };
    if (lower(x) != lower(y)) return false;
  }
  return true;
}

struct Line {
  std::string_view text;    // without its line ending
  std::string_view ending;  // "\r\n", "\n" or "" for a last line without one
};

std::vector<Line> splitLines(std::string_view content) {
  std::vector<Line> lines;
  while (!content.empty()) {
    const auto lf = content.find('\n');
    if (lf == std::string_view::npos) {
      lines.push_back({content, {}});
      break;
    }
    const bool crlf = lf > 0 && content[lf - 1] == '\r';
    const std::size_t textEnd = crlf ? lf - 1 : lf;
    lines.push_back({content.substr(0, textEnd), content.substr(textEnd, lf + 1 - textEnd)});
    content.remove_prefix(lf + 1);
  }
  return lines;
}

// The name of a "[name]" line, or nothing for other lines.
std::optional<std::string_view> sectionName(std::string_view line) {
  line = trim(line);
  if (line.empty() || line.front() != '[') return std::nullopt;
  const auto close = line.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return trim(line.substr(1, close - 1));
}

struct KeyLine {
  std::string_view key;
  std::string_view value;  // everything after the "=", untouched
};

std::optional<KeyLine> keyLine(std::string_view line) {
  const auto eq = line.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  return KeyLine{trim(line.substr(0, eq)), line.substr(eq + 1)};
}

// A folder or an unreadable file reads as a missing one.
std::optional<std::string> readWhole(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  std::string content;
  char buf[8192];
  for (;;) {
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      ::close(fd);
      return std::nullopt;
    }
    if (n == 0) break;
    content.append(buf, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return content;
}

// Where a key of a section lives in the file's lines.
struct Place {
  std::optional<std::size_t> section;  // index of the "[section]" line
  std::optional<std::size_t> key;      // index of the "key=value" line
  std::size_t lastOfSection = 0;       // last non-empty line of the section
};

Place find(const std::vector<Line>& lines, std::string_view section, std::string_view key) {
  Place place;
  bool inside = false;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (const auto name = sectionName(lines[i].text)) {
      if (inside) break;  // the first section of that name is the one read and written
      inside = sameName(*name, section);
      if (inside) place.section = place.lastOfSection = i;
      continue;
    }
    if (!inside) continue;
    if (!trim(lines[i].text).empty()) place.lastOfSection = i;
    if (const auto kv = keyLine(lines[i].text); kv && sameName(kv->key, key)) {
      place.key = i;
      break;
    }
  }
  return place;
}

}  // namespace

std::string readProfileString(const std::string& path, const std::string& section,
                              const std::string& key) {
  const auto content = readWhole(path);
  if (!content) return {};
  const auto lines = splitLines(*content);
  const Place place = find(lines, section, key);
  if (!place.key) return {};
  std::string_view value = trim(keyLine(lines[*place.key].text)->value);
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  if (value.size() > kMaxValueBytes) value = value.substr(0, kMaxValueBytes);
  return std::string(value);
}

bool writeProfileString(const std::string& path, const std::string& section,
                        const std::string& key, const std::string& value) {
  // A value comes from a web page: a line break in it would add lines of its choosing
  // (another key, another section) to the file. Such a value is not written.
  for (const std::string* text : {&section, &key, &value}) {
    if (text->find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos) return false;
  }
  const std::string content = readWhole(path).value_or(std::string());
  const auto lines = splitLines(content);
  // New lines follow the file's own line endings; a new file gets those of its home platform.
  std::string_view newline = "\r\n";
  if (!lines.empty() && lines.front().ending == "\n") newline = "\n";

  const Place place = find(lines, section, key);
  std::string out;
  out.reserve(content.size() + key.size() + value.size() + section.size() + 8);
  const auto keyText = [&] { return key + "=" + value; };
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const Line& line = lines[i];
    if (place.key && i == *place.key) {
      // Keep the key as it is spelled in the file and the line's ending; replace the value.
      const auto eq = line.text.find('=');
      out.append(line.text.substr(0, eq + 1)).append(value).append(line.ending);
      continue;
    }
    out.append(line.text).append(line.ending);
    if (place.section && !place.key && i == place.lastOfSection) {
      if (line.ending.empty()) out.append(newline);
      out.append(keyText()).append(newline);
    }
  }
  if (!place.section) {
    if (!lines.empty() && lines.back().ending.empty()) out.append(newline);
    out.append("[").append(section).append("]").append(newline);
    out.append(keyText()).append(newline);
  }
  return replaceFile(path, out);
}

}  // namespace tomeferry::platform
