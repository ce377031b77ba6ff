#include "app/messages.h"

#include <cctype>

namespace {
bool MatchesAt(const std::string& text, size_t at, const std::string& placeholder) {
  if (at + placeholder.size() > text.size()) return false;
  for (size_t i = 0; i < placeholder.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(text[at + i])) != placeholder[i]) return false;
  return true;
}
}  // namespace

std::string FormatMessageText(const std::string& text, const std::string& s1, const std::string& s2,
                              const std::string& s3, const std::string& s4) {
  std::string result = text;
  const std::string* args[] = {&s1, &s2, &s3, &s4};
  for (int k = 0; k < 4; ++k) {
    const std::string& value = *args[k];
    if (value.empty()) continue;
    const std::string placeholder = "%s" + std::to_string(k + 1) + "%";
    std::string next;
    for (size_t i = 0; i < result.size();) {
      if (MatchesAt(result, i, placeholder)) {
        next += value;
        i += placeholder.size();
      } else {
        next += result[i++];
      }
    }
    result = std::move(next);
  }
  return result;
}
