#include "app/options.h"

#include <cstring>

#include "settings/keywords.h"
#include "settings/readers.h"

namespace {

using S = ConversionSettings;
using K = OptionKind;
using Int8Field = int8_t S::*;

struct ProcessingOption {
  const char* name;
  OptionKind kind;
  SettingField field;      // receives the value; a flag stores flagValue
  int family;              // keyword family, or kNoFamily
  Int8Field alsoSets;      // a step switched on by the option, or nullptr
  int8_t alsoValue;
  int8_t flagValue;
};

// clang-format off
constexpr ProcessingOption kOptions[] = {
  // Input formats
  {"--DDS-LOAD-AS",         K::Keyword, &S::ddsLoadAs,        kFamilyDdsLoadAs,    nullptr, 0, 0},
  {"--GIF-FRAME-LOADING",   K::Keyword, &S::gifFrameLoading,  kFamilyFrameLoading, nullptr, 0, 0},
  {"--ICO-FRAME-LOADING",   K::Keyword, &S::icoFrameLoading,  kFamilyFrameLoading, nullptr, 0, 0},
  {"--PSD-COLOR-MODEL",     K::Keyword, &S::psdColorModel,    kFamilyColorModel,   nullptr, 0, 0},
  {"--RAW-LOAD-AS",         K::Keyword, &S::rawLoadAs,        kFamilyRawLoadAs,    nullptr, 0, 0},
  {"--RAW-HEADER-SIZE",     K::Integer, &S::rawHeaderSize,    kNoFamily,           nullptr, 0, 0},
  {"--RAW-WIDTH",           K::Integer, &S::rawImageWidth,    kNoFamily,           nullptr, 0, 0},
  {"--RAW-HEIGHT",          K::Integer, &S::rawImageHeight,   kNoFamily,           nullptr, 0, 0},
  {"--RAW-TONE-MAPPING",    K::Keyword, &S::rawToneMapping,   kFamilyToneMapping,  nullptr, 0, 0},
  {"--TIFF-FRAME-LOADING",  K::Keyword, &S::tiffFrameLoading, kFamilyFrameLoading, nullptr, 0, 0},
  // Output formats
  {"--BMP-BPP",             K::Integer, &S::bmpBpp,           kNoFamily,           nullptr, 0, 0},
  {"--BMP-COMPRESSION",     K::Keyword, &S::bmpCompression,   kFamilyCompression,  nullptr, 0, 0},
  {"--BMP-COLOR-TABLE",     K::Keyword, &S::bmpColorTable,    kFamilyColorTable,   nullptr, 0, 0},
  {"--DDS-BPP",             K::Integer, &S::ddsBpp,           kNoFamily,           nullptr, 0, 0},
  {"--EXR-BPP",             K::Integer, &S::exrBpp,           kNoFamily,           nullptr, 0, 0},
  {"--EXR-COMPRESSION",     K::Keyword, &S::exrCompression,   kFamilyCompression,  nullptr, 0, 0},
  {"--GIF-BPP",             K::Integer, &S::gifBpp,           kNoFamily,           nullptr, 0, 0},
  {"--HDR-BPP",             K::Integer, &S::hdrBpp,           kNoFamily,           nullptr, 0, 0},
  {"--ICO-BPP",             K::Integer, &S::icoBpp,           kNoFamily,           nullptr, 0, 0},
  {"--J2K-BPP",             K::Integer, &S::j2kBpp,           kNoFamily,           nullptr, 0, 0},
  {"--JNG-BPP",             K::Integer, &S::jngBpp,           kNoFamily,           nullptr, 0, 0},
  {"--JP2-BPP",             K::Integer, &S::jp2Bpp,           kNoFamily,           nullptr, 0, 0},
  {"--JPG-BPP",             K::Integer, &S::jpgBpp,           kNoFamily,           nullptr, 0, 0},
  {"--JPG-QUALITY",         K::Integer, &S::jpgQuality,       kNoFamily,           nullptr, 0, 0},
  {"--JPG-CHROMA",          K::Keyword, &S::jpgChroma,        kFamilyJpgChroma,    nullptr, 0, 0},
  {"--JPG-SAVE-AS",         K::Keyword, &S::jpgSaveAs,        kFamilyJpgSaveAs,    nullptr, 0, 0},
  {"--JXR-BPP",             K::Integer, &S::jxrBpp,           kNoFamily,           nullptr, 0, 0},
  {"--PBM-BPP",             K::Integer, &S::pbmBpp,           kNoFamily,           nullptr, 0, 0},
  {"--PCX-BPP",             K::Integer, &S::pcxBpp,           kNoFamily,           nullptr, 0, 0},
  {"--PFM-BPP",             K::Integer, &S::pfmBpp,           kNoFamily,           nullptr, 0, 0},
  {"--PGM-BPP",             K::Integer, &S::pgmBpp,           kNoFamily,           nullptr, 0, 0},
  {"--PNG-BPP",             K::Integer, &S::pngBpp,           kNoFamily,           nullptr, 0, 0},
  {"--PNG-COMPRESSION",     K::Keyword, &S::pngCompression,   kFamilyCompression,  nullptr, 0, 0},
  {"--PNG-INTERLACED",      K::Flag,    &S::pngInterlaced,    kNoFamily,           nullptr, 0, 1},
  {"--PPM-BPP",             K::Integer, &S::ppmBpp,           kNoFamily,           nullptr, 0, 0},
  {"--PSD-BPP",             K::Integer, &S::psdBpp,           kNoFamily,           nullptr, 0, 0},
  {"--TGA-BPP",             K::Integer, &S::tgaBpp,           kNoFamily,           nullptr, 0, 0},
  {"--TGA-COMPRESSION",     K::Keyword, &S::tgaCompression,   kFamilyCompression,  nullptr, 0, 0},
  {"--TIFF-BPP",            K::Integer, &S::tiffBpp,          kNoFamily,           nullptr, 0, 0},
  {"--TIFF-COMPRESSION",    K::Keyword, &S::tiffCompression,  kFamilyCompression,  nullptr, 0, 0},
  {"--TIFF-COLOR-MODEL",    K::Keyword, &S::tiffColorModel,   kFamilyColorModel,   nullptr, 0, 0},
  {"--WBMP-BPP",            K::Integer, &S::wbmpBpp,          kNoFamily,           nullptr, 0, 0},
  {"--WEBP-BPP",            K::Integer, &S::webpBpp,          kNoFamily,           nullptr, 0, 0},
  {"--WEBP-QUALITY",        K::Integer, &S::webpQuality,      kNoFamily,           nullptr, 0, 0},
  {"--XPM-BPP",             K::Integer, &S::xpmBpp,           kNoFamily,           nullptr, 0, 0},
  // Transform
  {"--ROTATION-TYPE",       K::Keyword, &S::imageRotationType,      kFamilyRotationType,    nullptr, 0, 0},
  {"--ROTATION",            K::Integer, &S::imageRotation,          kNoFamily, &S::doImageRotation, 1, 0},
  {"--ROTATION-BACK-COLOR", K::Text,    &S::imageRotationBackColor, kNoFamily,              nullptr, 0, 0},
  {"--WIDTH",               K::Integer, &S::imageWidth,             kNoFamily, &S::doImageResize, 1, 0},
  {"--WIDTH-UNIT",          K::Keyword, &S::imageWidthUnit,         kFamilySizeUnit,        nullptr, 0, 0},
  {"--HEIGHT",              K::Integer, &S::imageHeight,            kNoFamily, &S::doImageResize, 1, 0},
  {"--HEIGHT-UNIT",         K::Keyword, &S::imageHeightUnit,        kFamilySizeUnit,        nullptr, 0, 0},
  {"--KEEP-ASPECT-RATIO",   K::Flag,    &S::keepAspectRatio,        kNoFamily,              nullptr, 0, 1},
  {"--RESIZE-TYPE",         K::Keyword, &S::imageResizeType,        kFamilyResizeType,      nullptr, 0, 0},
  {"--RESIZE-ALGORITHM",    K::Keyword, &S::imageResizeAlgorithm,   kFamilyResizeAlgorithm, nullptr, 0, 0},
  {"--FLIP-HORIZONTAL",     K::Flag,    &S::doImageFlipHorizontal,  kNoFamily,              nullptr, 0, 1},
  {"--FLIP-VERTICAL",       K::Flag,    &S::doImageFlipVertical,    kNoFamily,              nullptr, 0, 1},
  // Adjustment
  {"--BRIGHTNESS",          K::Integer, &S::imageBrightness,  kNoFamily, &S::doImageColorCorrection, 1, 0},
  {"--CONTRAST",            K::Integer, &S::imageContrast,    kNoFamily, &S::doImageColorCorrection, 1, 0},
  {"--GAMMA",               K::Decimal, &S::imageGamma,       kNoFamily, &S::doImageColorCorrection, 1, 0},
  {"--INVERT",              K::Flag,    &S::imageInvert,      kNoFamily, &S::doImageColorCorrection, 1, 1},
  {"--GREYSCALE",           K::Flag,    &S::doImageGreyscale, kNoFamily, nullptr,                    0, 1},
  {"--THRESHOLD",           K::Integer, &S::imageThreshold,   kNoFamily, &S::doImageThreshold,       1, 0},
  // Frame
  {"--FR-SOLID-LEFT",         K::Integer, &S::solidLeft,        kNoFamily, &S::doFrame, 1, 0},
  {"--FR-SOLID-RIGHT",        K::Integer, &S::solidRight,       kNoFamily, &S::doFrame, 1, 0},
  {"--FR-SOLID-TOP",          K::Integer, &S::solidTop,         kNoFamily, &S::doFrame, 1, 0},
  {"--FR-SOLID-BOTTOM",       K::Integer, &S::solidBottom,      kNoFamily, &S::doFrame, 1, 0},
  {"--FR-SOLID-LEFT-COLOR",   K::Text,    &S::solidLeftColor,   kNoFamily, nullptr,     0, 0},
  {"--FR-SOLID-RIGHT-COLOR",  K::Text,    &S::solidRightColor,  kNoFamily, nullptr,     0, 0},
  {"--FR-SOLID-TOP-COLOR",    K::Text,    &S::solidTopColor,    kNoFamily, nullptr,     0, 0},
  {"--FR-SOLID-BOTTOM-COLOR", K::Text,    &S::solidBottomColor, kNoFamily, nullptr,     0, 0},
  {"--FR-SOLID-OPACITY",      K::Integer, &S::solidOpacity,     kNoFamily, nullptr,     0, 0},
  // Text watermark
  {"--WM-TEXT",               K::Text,    &S::text,             kNoFamily,            &S::doWatermark, 1, 0},
  {"--WM-FONT",               K::Text,    &S::font,             kNoFamily,            nullptr, 0, 0},
  {"--WM-FONT-SIZE",          K::Integer, &S::fontSize,         kNoFamily,            nullptr, 0, 0},
  {"--WM-FONT-LEADING",       K::Integer, &S::fontLeading,      kNoFamily,            nullptr, 0, 0},
  {"--WM-FONT-COLOR",         K::Text,    &S::fontColor,        kNoFamily,            nullptr, 0, 0},
  {"--WM-FONT-STYLE",         K::Keyword, &S::fontStyle,        kFamilyFontStyle,     nullptr, 0, 0},
  {"--WM-FONT-EFFECT",        K::Keyword, &S::fontEffect,       kFamilyFontEffect,    nullptr, 0, 0},
  {"--WM-TEXT-ANTIALIASING",  K::Flag,    &S::textAntialiasing, kNoFamily,            nullptr, 0, 1},
  {"--WM-TEXT-ALIGNMENT",     K::Keyword, &S::textAlignment,    kFamilyTextAlignment, nullptr, 0, 0},
  {"--WM-TEXT-PADDING",       K::Integer, &S::textPadding,      kNoFamily,            nullptr, 0, 0},
  {"--WM-TEXT-OPACITY",       K::Integer, &S::textOpacity,      kNoFamily,            nullptr, 0, 0},
  {"--WM-BACK-COLOR",         K::Text,    &S::backColor,        kNoFamily,            nullptr, 0, 0},
  {"--WM-BACK-OPACITY",       K::Integer, &S::backOpacity,      kNoFamily,            nullptr, 0, 0},
  {"--WM-TEXT-BOUNDARY",      K::Keyword, &S::textBoundary,     kFamilyBoundary,      nullptr, 0, 0},
  {"--WM-TEXT-POSITION",      K::Keyword, &S::textPosition,     kFamilyPosition,      nullptr, 0, 0},
  {"--WM-TEXT-X-OFFSET",      K::Integer, &S::textXOffset,      kNoFamily,            nullptr, 0, 0},
  {"--WM-TEXT-Y-OFFSET",      K::Integer, &S::textYOffset,      kNoFamily,            nullptr, 0, 0},
  {"--WM-TEXT-ROTATION",      K::Integer, &S::textRotation,     kNoFamily,            nullptr, 0, 0},
  {"--WM-TEXT-SIZE",          K::Keyword, &S::textSize,         kFamilySizeMode,      nullptr, 0, 0},
  // Image watermark
  {"--WM-IMAGE",              K::Text,    &S::image,            kNoFamily,            &S::doWatermark, 2, 0},
  {"--WM-IMAGE-GREYSCALE",    K::Flag,    &S::imageGreyscale,   kNoFamily,            nullptr, 0, 1},
  {"--WM-IMAGE-OPACITY",      K::Integer, &S::imageOpacity,     kNoFamily,            nullptr, 0, 0},
  {"--WM-IMAGE-BOUNDARY",     K::Keyword, &S::imageBoundary,    kFamilyBoundary,      nullptr, 0, 0},
  {"--WM-IMAGE-POSITION",     K::Keyword, &S::imagePosition,    kFamilyPosition,      nullptr, 0, 0},
  {"--WM-IMAGE-X-OFFSET",     K::Integer, &S::imageXOffset,     kNoFamily,            nullptr, 0, 0},
  {"--WM-IMAGE-Y-OFFSET",     K::Integer, &S::imageYOffset,     kNoFamily,            nullptr, 0, 0},
  {"--WM-IMAGE-ROTATION",     K::Integer, &S::watermarkImageRotation, kNoFamily,      nullptr, 0, 0},
  {"--WM-IMAGE-SIZE",         K::Keyword, &S::imageSize,        kFamilySizeMode,      nullptr, 0, 0},
  // Output files
  {"--FILENAME-MASK",         K::Text,    &S::filenameMask,     kNoFamily,            nullptr, 0, 0},
  {"--FILE-TIMESTAMP",        K::Keyword, &S::fileTimestamp,    kFamilyTimestamp,     nullptr, 0, 0},
  {"--FILE-TIMESTAMP-CUSTOM", K::Integer, &S::customTimestamp,  kNoFamily,            nullptr, 0, 0},
  {"--NO-SUBFOLDERS",         K::Flag,    &S::keepSubfolders,   kNoFamily,            nullptr, 0, 0},
};
// clang-format on

const ProcessingOption* FindOption(const std::string& upperName) {
  for (const ProcessingOption& o : kOptions)
    if (upperName == o.name) return &o;
  return nullptr;
}

std::string StripQuotes(std::string text) {
  const size_t first = text.find_first_not_of('"');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of('"') - first + 1);
}

}  // namespace

int ProcessingOptionCount() { return static_cast<int>(std::size(kOptions)); }

bool IsProcessingOption(const std::string& upperName) { return FindOption(upperName) != nullptr; }

bool ProcessingOptionKind(const std::string& upperName, OptionKind& kind) {
  const ProcessingOption* o = FindOption(upperName);
  if (!o) return false;
  kind = o->kind;
  return true;
}

bool ApplyProcessingOption(ConversionSettings& s, const std::string& upperName, const std::string& value,
                           bool fromProfile) {
  const ProcessingOption* o = FindOption(upperName);
  if (!o) return false;
  switch (o->kind) {
    case OptionKind::Integer:
      SetFieldInteger(s, o->field, ReadInteger(value));
      break;
    case OptionKind::Decimal:
      s.*std::get<float S::*>(o->field) = ReadDecimal(value);
      break;
    case OptionKind::Keyword:
      SetFieldInteger(s, o->field, ParseKeyword(o->family, TrimBlanks(value)));
      break;
    case OptionKind::Text:
      if (!fromProfile)
        SetFieldText(s, o->field, value);
      else if (std::strcmp(o->name, "--FILENAME-MASK") == 0)
        SetFieldText(s, o->field, StripQuotes(value));
      else
        SetFieldText(s, o->field, TrimBlanks(value));
      break;
    case OptionKind::Flag:
      SetFieldInteger(s, o->field, o->flagValue);
      break;
  }
  if (o->alsoSets) s.*(o->alsoSets) = o->alsoValue;
  return true;
}
