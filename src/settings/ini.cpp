#include "settings/ini.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <memory>

#include "platform/platform.h"
#include "settings/readers.h"
#include "settings/textcase.h"

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kLineEnd = "\r\n";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimEnd(std::string_view text) {
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::string_view TrimStart(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  return text;
}

// Without a byte-order mark every byte is one ISO 8859-1 character.
std::string DecodeToUtf8(std::string_view bytes) {
  if (bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark)
    return std::string(bytes.substr(kByteOrderMark.size()));
  std::string text;
  text.reserve(bytes.size());
  for (char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      text += c;
    } else {
      text += static_cast<char>(0xC0 | (byte >> 6));
      text += static_cast<char>(0x80 | (byte & 0x3F));
    }
  }
  return text;
}

void ParseLine(std::string_view line, IniDocument& doc) {
  line = TrimStart(line);
  if (line.empty() || line.front() == ';') return;
  if (line.front() == '[') {
    line.remove_prefix(1);
    const std::string_view name = line.substr(0, line.find(']'));
    doc.groups.push_back({std::string(name), FoldCase(name), {}});
    return;
  }
  if (doc.groups.empty()) return;  // a key above the first group line belongs to no group
  const size_t equals = line.find('=');
  const std::string_view name = TrimEnd(line.substr(0, equals));
  const std::string_view value =
      equals == std::string_view::npos ? std::string_view() : TrimEnd(TrimStart(line.substr(equals + 1)));
  doc.groups.back().keys.push_back({std::string(name), std::string(value), FoldCase(name)});
}

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

IniDocument ParseIni(std::string_view bytes) {
  const std::string text = DecodeToUtf8(bytes);
  IniDocument doc;
  // CR, LF and CR LF all end a line; the empty line between CR and LF is skipped.
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    ParseLine(std::string_view(text).substr(start, end - start), doc);
    start = end + 1;
  }
  return doc;
}

bool ReadIniFile(const std::string& path, IniDocument& doc) {
  doc = {};
  const int64_t size = platform::FileSize(path);  // also refuses the empty path and folders
  if (size < 0 || size > kIniMaxBytes) return false;
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) return false;
  std::string bytes;
  char buffer[65536];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0;) {
    bytes.append(buffer, n);
    if (static_cast<int64_t>(bytes.size()) > kIniMaxBytes) return false;  // grew while we read
  }
  if (std::ferror(file.get())) return false;
  doc = ParseIni(bytes);
  return true;
}

const IniGroup* FindIniGroup(const IniDocument& doc, std::string_view name) {
  const std::string folded = FoldCase(name);
  for (const IniGroup& group : doc.groups)
    if (group.folded == folded) return &group;
  return nullptr;
}

const IniKey* FindIniKey(const IniGroup* group, std::string_view name) {
  if (!group) return nullptr;
  const std::string folded = FoldCase(name);
  for (const IniKey& key : group->keys)
    if (key.folded == folded) return &key;
  return nullptr;
}

int64_t ReadIniInteger(std::string_view text) {
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  uint64_t value = 0;  // unsigned, so that an overlong number wraps instead of overflowing
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
    value = value * 10 + static_cast<uint64_t>(text[i] - '0');
  if (negative) value = 0 - value;
  return static_cast<int64_t>(value);
}

std::string IniText(const IniGroup* group, std::string_view name, const std::string& fallback) {
  const IniKey* key = FindIniKey(group, name);
  return key ? key->value : fallback;
}

int64_t IniInteger(const IniGroup* group, std::string_view name, int64_t fallback) {
  const IniKey* key = FindIniKey(group, name);
  return key ? ReadIniInteger(key->value) : fallback;
}

float IniDecimal(const IniGroup* group, std::string_view name, float fallback) {
  const IniKey* key = FindIniKey(group, name);
  return key ? ReadDecimal(key->value) : fallback;
}

std::string IniFileStart() {
  std::string out(kByteOrderMark);
  out += kLineEnd;
  return out;
}

void AppendIniGroup(std::string& out, std::string_view name) {
  out += '[';
  out += name;
  out += ']';
  out += kLineEnd;
}

void AppendIniKey(std::string& out, std::string_view key, std::string_view value) {
  out += key;
  out += " = ";
  // A line break would end the value early and let its rest be read as more keys.
  for (char c : value) out += c == '\r' || c == '\n' ? ' ' : c;
  out += kLineEnd;
}

void AppendIniComment(std::string& out, std::string_view text) {
  out += "; ";
  out += text;
  out += kLineEnd;
}

std::string IniDecimalText(float value) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value > 0 ? "+Infinity" : "-Infinity";
  // to_chars ignores the locale: a GUI toolkit that switches LC_NUMERIC must not
  // turn the point into a comma.
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(value),
                                    std::chars_format::fixed, 6);
  return std::string(buffer, result.ptr);
}

bool SaveIniFile(const std::string& path, const std::string& bytes) {
  return platform::WriteFileAtomically(path, bytes);
}
