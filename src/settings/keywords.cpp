#include "settings/keywords.h"

#include <array>
#include <cctype>
#include <span>

namespace {

struct Keyword {
  const char* word;
  uint8_t code;
};

struct Family {
  bool parsable;  // families 13 and 14 exist for the echo only
  std::span<const Keyword> words;
};

// clang-format off
constexpr Keyword kDdsLoadAs[] = {{"AUTO", 0}, {"BGRA", 1}, {"RGBA", 2}};
constexpr Keyword kRawLoadAs[] = {{"AUTO", 0}, {"8", 1}, {"16", 2}, {"24", 3}, {"48HS", 4}, {"48", 5}};
constexpr Keyword kFrameLoading[] = {{"ALL", 0}, {"FIRST", 1}, {"MIDDLE", 2}, {"LAST", 3}, {"RANDOM", 4}};
constexpr Keyword kToneMapping[] = {{"NONE", 0}, {"LINEAR", 1}, {"AL", 2}, {"DRR", 3}, {"GD", 4}};
// One code means different methods in different formats; the first word of each
// code is the one the echo shows.
constexpr Keyword kCompression[] = {
    {"NONE", 0}, {"RLE", 1}, {"ZIP", 1}, {"PIZ", 2}, {"PXR24", 3}, {"B44", 4},
    {"ZLIB1", 1}, {"ZLIB6", 2}, {"ZLIB9", 3}, {"CCITTFAX3", 1}, {"CCITTFAX4", 2},
    {"PACKBITS", 3}, {"DEFLATE", 4}, {"ADOBEDEFLATE", 5}, {"LZW", 6}, {"JPEG", 7}, {"LOGLUV", 8}};
constexpr Keyword kColorTable[] = {{"AUTO", 0}, {"EXACT", 1}};
constexpr Keyword kColorModel[] = {{"RGB", 0}, {"CMYK", 1}, {"LAB", 2}};
constexpr Keyword kJpgChroma[] = {{"NONE", 0}, {"LOW", 1}, {"MEDIUM", 2}, {"HIGH", 3}};
constexpr Keyword kJpgSaveAs[] = {{"STANDARD", 0}, {"SIMPLE", 1}, {"OPTIMIZED", 2}, {"PROGRESSIVE", 3}};
constexpr Keyword kRotationType[] = {{"SIMPLE", 0}, {"ADVANCED", 1}};
constexpr Keyword kSizeUnit[] = {{"PIXELS", 0}, {"PERCENT", 1}};
constexpr Keyword kResizeType[] = {{"ALLIMAGES", 0}, {"LARGEIMAGES", 1}};
constexpr Keyword kResizeAlgorithm[] = {{"BOX", 0}, {"BILINEAR", 1}, {"BSPLINE", 2}, {"BICUBIC", 3}, {"CATMULLROM", 4}, {"LANCZOS", 5}};
constexpr Keyword kFrame[] = {{"NONE", 0}, {"SOLID", 1}};
constexpr Keyword kWatermark[] = {{"NONE", 0}, {"TEXT", 1}, {"IMAGE", 2}};
constexpr Keyword kFontStyle[] = {{"REGULAR", 0}, {"BOLD", 1}, {"ITALIC", 2}, {"BOLDITALIC", 3}};
// The accepted spelling really ends in T; stored profiles rely on it.
constexpr Keyword kFontEffect[] = {{"NONE", 0}, {"UNDERLINE", 1}, {"STRIKETHROUGHT", 2}};
constexpr Keyword kTextAlignment[] = {{"LEFT", 0}, {"CENTER", 1}, {"RIGHT", 2}};
constexpr Keyword kBoundary[] = {{"IMAGE", 0}, {"FRAME", 1}};
constexpr Keyword kPosition[] = {{"TOPLEFT", 0}, {"TOPCENTER", 1}, {"TOPRIGHT", 2}, {"MIDDLELEFT", 3}, {"MIDDLECENTER", 4}, {"MIDDLERIGHT", 5}, {"BOTTOMLEFT", 6}, {"BOTTOMCENTER", 7}, {"BOTTOMRIGHT", 8}};
constexpr Keyword kSizeMode[] = {{"FIXED", 0}};
constexpr Keyword kTimestamp[] = {{"CURRENT", 0}, {"ORIGINAL", 1}, {"CUSTOM", 2}};

constexpr std::array<Family, 22> kFamilies = {{
    {true, kDdsLoadAs}, {true, kRawLoadAs}, {true, kFrameLoading}, {true, kToneMapping},
    {true, kCompression}, {true, kColorTable}, {true, kColorModel}, {true, kJpgChroma},
    {true, kJpgSaveAs}, {true, kRotationType}, {true, kSizeUnit}, {true, kResizeType},
    {true, kResizeAlgorithm}, {false, kFrame}, {false, kWatermark}, {true, kFontStyle},
    {true, kFontEffect}, {true, kTextAlignment}, {true, kBoundary}, {true, kPosition},
    {true, kSizeMode}, {true, kTimestamp},
}};
// clang-format on

const Family* FindFamily(int family) {
  if (family < 0 || family >= static_cast<int>(kFamilies.size())) return nullptr;
  return &kFamilies[family];
}

}  // namespace

uint8_t ParseKeyword(int family, const std::string& text) {
  const Family* f = FindFamily(family);
  if (!f || !f->parsable) return 0;
  std::string upper = text;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  for (const Keyword& k : f->words)
    if (upper == k.word) return k.code;
  return 0;
}

std::string KeywordText(int family, int code) {
  const Family* f = FindFamily(family);
  if (!f) return {};
  for (const Keyword& k : f->words) {
    if (k.code != code) continue;
    std::string lower = k.word;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
  }
  return {};
}
