#include "engine/naming.h"

#include <glib.h>

#include <cctype>
#include <cstdio>
#include <functional>

#include "platform/platform.h"

namespace {

// Locale-aware case mapping where the text is valid UTF-8; file names need not
// be, and then only ASCII letters change.
std::string MapCase(const std::string& text, bool upper) {
  if (g_utf8_validate(text.data(), static_cast<gssize>(text.size()), nullptr)) {
    gchar* mapped = upper ? g_utf8_strup(text.data(), static_cast<gssize>(text.size()))
                          : g_utf8_strdown(text.data(), static_cast<gssize>(text.size()));
    std::string result(mapped);
    g_free(mapped);
    return result;
  }
  std::string result = text;
  for (char& c : result)
    c = static_cast<char>(upper ? std::toupper(static_cast<unsigned char>(c)) : std::tolower(static_cast<unsigned char>(c)));
  return result;
}

std::string Upper(const std::string& t) { return MapCase(t, true); }
std::string Lower(const std::string& t) { return MapCase(t, false); }

std::string TitleCase(const std::string& text) {
  if (text.empty()) return text;
  size_t firstLength = 1;
  if (g_utf8_validate(text.data(), static_cast<gssize>(text.size()), nullptr))
    firstLength = static_cast<size_t>(g_utf8_next_char(text.data()) - text.data());
  return Upper(text.substr(0, firstLength)) + Lower(text.substr(firstLength));
}

std::string BaseName(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos && name.find_first_of(" /\\", dot) == std::string::npos) name.erase(dot);
  return name;
}

std::string TwoDigits(int v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d", v);
  return buf;
}

// Shorter values get leading zeros; longer ones keep their first five characters.
std::string FiveCharacters(int32_t v) {
  std::string t = std::to_string(v);
  if (t.size() < 5) return std::string(5 - t.size(), '0') + t;
  return t.substr(0, 5);
}

struct NameToken {
  const char* token;
  std::string (*value)(const ConversionRun&);
};

// clang-format off
const NameToken kTokens[] = {
  {"%filename%",    [](const ConversionRun& r) { return BaseName(r.inputPath); }},
  {"%filename[u]%", [](const ConversionRun& r) { return Upper(BaseName(r.inputPath)); }},
  {"%filename[l]%", [](const ConversionRun& r) { return Lower(BaseName(r.inputPath)); }},
  {"%filename[t]%", [](const ConversionRun& r) { return TitleCase(BaseName(r.inputPath)); }},
  {"%ext%",         [](const ConversionRun& r) { return r.outputExtension; }},
  {"%ext[u]%",      [](const ConversionRun& r) { return Upper(r.outputExtension); }},
  {"%ext[t]%",      [](const ConversionRun& r) { return TitleCase(r.outputExtension); }},
  // The clock is read afresh for every date token.
  {"%yyyy%",   [](const ConversionRun&) { return std::to_string(platform::NowLocalParts().year); }},
  {"%mm%",     [](const ConversionRun&) { return TwoDigits(platform::NowLocalParts().month); }},
  {"%dd%",     [](const ConversionRun&) { return TwoDigits(platform::NowLocalParts().day); }},
  {"%hh%",     [](const ConversionRun&) { return TwoDigits(platform::NowLocalParts().hour); }},
  {"%ii%",     [](const ConversionRun&) { return TwoDigits(platform::NowLocalParts().minute); }},
  {"%ss%",     [](const ConversionRun&) { return TwoDigits(platform::NowLocalParts().second); }},
  {"%bpp%",    [](const ConversionRun& r) { return std::to_string(r.targetDepth); }},
  {"%width%",  [](const ConversionRun& r) { return std::to_string(r.outputWidth); }},
  {"%height%", [](const ConversionRun& r) { return std::to_string(r.outputHeight); }},
  {"%rnd%",    [](const ConversionRun& r) { return FiveCharacters(r.randomToken); }},
  {"%n%",      [](const ConversionRun& r) { return FiveCharacters(r.sequenceNumber); }},
};
// clang-format on

// Tokens are ASCII, so comparing ASCII letters without case never splits a
// multi-byte character.
size_t FindToken(const std::string& text, const std::string& token, size_t from) {
  for (size_t i = from; i + token.size() <= text.size(); ++i) {
    size_t k = 0;
    while (k < token.size() &&
           std::tolower(static_cast<unsigned char>(text[i + k])) == static_cast<unsigned char>(token[k]))
      ++k;
    if (k == token.size()) return i;
  }
  return std::string::npos;
}

const NameToken* FindNameToken(const std::string& token) {
  for (const NameToken& t : kTokens)
    if (token == t.token) return &t;
  return nullptr;
}

}  // namespace

std::string ReplaceNameToken(const std::string& text, const std::string& token, const ConversionRun& run) {
  const NameToken* t = FindNameToken(Lower(token));
  if (!t) return text;
  size_t at = FindToken(text, t->token, 0);
  if (at == std::string::npos) return text;
  const std::string value = t->value(run);
  const size_t length = std::char_traits<char>::length(t->token);
  std::string result;
  size_t from = 0;
  for (; at != std::string::npos; at = FindToken(text, t->token, from)) {
    result.append(text, from, at - from).append(value);
    from = at + length;
  }
  return result.append(text, from, std::string::npos);
}

std::string ExpandFilenameMask(const ConversionRun& run, const ConversionSettings& s) {
  std::string mask = Lower(s.filenameMask);
  if (mask.empty()) mask = "%filename%.%ext%";
  for (const NameToken& t : kTokens)
    if (FindToken(mask, t.token, 0) != std::string::npos) mask = ReplaceNameToken(mask, t.token, run);
  return mask;
}

std::string ExpandWatermarkText(const ConversionRun& run, const ConversionSettings& s) {
  std::string text = s.text;
  size_t percents = 0;
  for (char c : text) percents += c == '%';
  if (percents < 2) return text;
  const std::string lower = Lower(text);  // tokens are looked for in the text as written
  for (const NameToken& t : kTokens)
    if (FindToken(lower, t.token, 0) != std::string::npos) text = ReplaceNameToken(text, t.token, run);
  return text;
}

std::string OutputFilePath(const ConversionRun& run, const ConversionSettings& s) {
  std::string path = run.outputFolder;
  if (s.keepSubfolders) path += run.relativeSubfolder;
  return path + ExpandFilenameMask(run, s);
}
