#include "settings/readers.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>
#include <strings.h>

namespace {

int DigitValue(char c, int base) {
  int v = -1;
  if (c >= '0' && c <= '9') v = c - '0';
  else if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
  else if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
  return v < base ? v : -1;
}

std::string Trim(const std::string& text, const char* chars) {
  const size_t first = text.find_first_not_of(chars);
  if (first == std::string::npos) return {};
  const size_t last = text.find_last_not_of(chars);
  return text.substr(first, last - first + 1);
}

}  // namespace

int64_t ReadInteger(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int base = 10;
  if (i < text.size() && text[i] == '$') base = 16, ++i;
  else if (i < text.size() && text[i] == '%') base = 2, ++i;
  uint64_t value = 0;  // unsigned so that overlong numbers wrap instead of overflowing
  for (int d; i < text.size() && (d = DigitValue(text[i], base)) >= 0; ++i)
    value = value * static_cast<uint64_t>(base) + static_cast<uint64_t>(d);
  if (negative) value = 0 - value;
  return static_cast<int64_t>(value);
}

float ReadDecimal(const std::string& text) {
  if (strcasecmp(text.c_str(), "+Infinity") == 0) return std::numeric_limits<float>::infinity();
  if (strcasecmp(text.c_str(), "-Infinity") == 0) return -std::numeric_limits<float>::infinity();
  if (strcasecmp(text.c_str(), "NaN") == 0) return std::numeric_limits<float>::quiet_NaN();
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  const char* first = text.data() + i;
  const char* last = text.data() + text.size();
  if (first < last && *first == '+') ++first;  // from_chars takes no plus sign
  const char* body = first < last && *first == '-' ? first + 1 : first;
  if (body == last || !(std::isdigit(static_cast<unsigned char>(*body)) || *body == '.'))
    return 0.0f;  // "inf" and "nan" count only in the exact spellings above
  double value = 0.0;
  // from_chars reads the longest prefix in the fixed "." form whatever the locale.
  const auto result = std::from_chars(first, last, value, std::chars_format::general);
  if (result.ec == std::errc::invalid_argument) return 0.0f;
  if (result.ec == std::errc::result_out_of_range) return 0.0f;
  return static_cast<float>(value);
}

std::string TrimBlanks(const std::string& text) { return Trim(text, " "); }
std::string TrimBlanksAndTabs(const std::string& text) { return Trim(text, " \t"); }
