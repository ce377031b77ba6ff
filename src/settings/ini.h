// The INI text form shared by config.ini, profile files and language files:
// reading a file into groups of keys, case-insensitive lookups, and writing the
// form back byte for byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct IniKey {
  std::string name;    // as written, blanks and tabs trimmed from its end
  std::string value;   // as written, blanks and tabs trimmed from both ends
  std::string folded;  // the name in the form that lookups compare
};

struct IniGroup {
  std::string name;
  std::string folded;
  std::vector<IniKey> keys;  // in file order; a repeated name stays repeated
};

// Keys above the first group line belong to no group and are not kept.
struct IniDocument {
  std::vector<IniGroup> groups;  // in file order
};

// Files beyond this size are refused as unreadable: no settings, profile or
// language file comes near it, and a hostile one cannot exhaust memory.
inline constexpr int64_t kIniMaxBytes = 16 * 1024 * 1024;

// Decodes the bytes of an INI file (UTF-8 after a byte-order mark, else
// ISO 8859-1) into UTF-8 groups and keys. Never fails.
IniDocument ParseIni(std::string_view bytes);

// Reads and parses the file at `path`. False, with `doc` emptied, when the path
// is empty, names a folder, cannot be opened or read, or exceeds kIniMaxBytes.
bool ReadIniFile(const std::string& path, IniDocument& doc);

// First group (or key of `group`) whose name equals `name` without regard to
// letter case; nullptr when there is none. A null group has no keys.
const IniGroup* FindIniGroup(const IniDocument& doc, std::string_view name);
const IniKey* FindIniKey(const IniGroup* group, std::string_view name);

// Integers: an optional sign and decimal digits up to the first other
// character; no digits give 0. Computed in 64 bits, wrapping; the caller keeps
// the bits its field holds.
int64_t ReadIniInteger(std::string_view text);

// The value of a key, or `fallback` when the group or the key is missing.
std::string IniText(const IniGroup* group, std::string_view name, const std::string& fallback);
int64_t IniInteger(const IniGroup* group, std::string_view name, int64_t fallback);
float IniDecimal(const IniGroup* group, std::string_view name, float fallback);

// ---- Writing ----------------------------------------------------------------
// Every written file is UTF-8: the byte-order mark and a line end come first,
// and every line ends in CR LF.
std::string IniFileStart();
void AppendIniGroup(std::string& out, std::string_view name);  // "[name]"
// "key = value"; a line break inside the value is written as a blank.
void AppendIniKey(std::string& out, std::string_view key, std::string_view value);
void AppendIniComment(std::string& out, std::string_view text);  // "; text"

// Six digits after the point (1.000000); the infinities and NaN in the spellings
// that the reader accepts, so that every value survives a round trip.
std::string IniDecimalText(float value);

// Replaces the file at `path` with `bytes` through a temporary file in the same
// folder; on failure the old file is left as it was. False on failure.
bool SaveIniFile(const std::string& path, const std::string& bytes);
