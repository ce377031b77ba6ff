// Option words of the settings that choose among a few alternatives, grouped in
// numbered families, and the conversions between words and codes.
#pragma once

#include <cstdint>
#include <string>

enum KeywordFamily : int {
  kFamilyDdsLoadAs = 0,
  kFamilyRawLoadAs = 1,
  kFamilyFrameLoading = 2,
  kFamilyToneMapping = 3,
  kFamilyCompression = 4,
  kFamilyColorTable = 5,
  kFamilyColorModel = 6,
  kFamilyJpgChroma = 7,
  kFamilyJpgSaveAs = 8,
  kFamilyRotationType = 9,
  kFamilySizeUnit = 10,
  kFamilyResizeType = 11,
  kFamilyResizeAlgorithm = 12,
  kFamilyFrame = 13,      // echo only
  kFamilyWatermark = 14,  // echo only
  kFamilyFontStyle = 15,
  kFamilyFontEffect = 16,
  kFamilyTextAlignment = 17,
  kFamilyBoundary = 18,
  kFamilyPosition = 19,
  kFamilySizeMode = 20,
  kFamilyTimestamp = 21,
};

// Code of a word (matched without regard to case, no trimming); 0 for an unknown
// word or a family that takes no words.
uint8_t ParseKeyword(int family, const std::string& text);

// First word of the family with that code, lower-case; empty when there is none.
std::string KeywordText(int family, int code);
