#include "settings/settings.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "app/product.h"
#include "engine/formats.h"
#include "platform/platform.h"
#include "settings/keywords.h"
#include "settings/ini.h"
#include "settings/readers.h"

namespace {

using S = ConversionSettings;
using T = SettingType;
constexpr int N = kNoFamily;
constexpr const char* kAllColors = "000000,FFFFFF,FF0000,FF8000,FFFF00,008000,00FFFF,0000FF,8000FF";

// Defaults left empty here are computed by ResetSettings (marked "computed").
// clang-format off
constexpr SettingDef kSettings[] = {
  {"General", "CFG",                  T::Int32, &S::cfg,                "18", N, nullptr},
  {"General", "Language",             T::Text,  &S::language,           "en", N, nullptr},
  {"General", "Update Range",         T::Int32, &S::updateRange,        "2",  N, nullptr},
  {"General", "Update Date",          T::Date,  &S::updateDate,         "",   N, nullptr},  // computed
  {"General", "Save Window Position", T::Int8,  &S::saveWindowPosition, "1",  N, nullptr},

  {"Window", "IsMaximized", T::Int8,  &S::isMaximized, "0",   N, nullptr},
  {"Window", "Width",       T::Int32, &S::width,       "510", N, nullptr},
  {"Window", "Height",      T::Int32, &S::height,      "260", N, nullptr},
  {"Window", "X",           T::Int32, &S::x,           "",    N, nullptr},  // computed
  {"Window", "Y",           T::Int32, &S::y,           "",    N, nullptr},  // computed

  {"Interface", "UI Theme", T::Text,  &S::uiTheme, "handdrawn", N, nullptr},
  {"Interface", "UI Size",  T::Int32, &S::uiSize,  "2",         N, nullptr},

  {"Input", "Format",             T::Text,  &S::inputFormat,      "",  N, nullptr},  // computed
  {"Input", "DDS Load As",        T::Int32, &S::ddsLoadAs,        "0", kFamilyDdsLoadAs,    "dds"},
  {"Input", "GIF Frame Loading",  T::Int32, &S::gifFrameLoading,  "0", kFamilyFrameLoading, "gif"},
  {"Input", "ICO Frame Loading",  T::Int32, &S::icoFrameLoading,  "0", kFamilyFrameLoading, "ico"},
  {"Input", "TIFF Frame Loading", T::Int32, &S::tiffFrameLoading, "0", kFamilyFrameLoading, "tiff"},
  {"Input", "PSD Color Model",    T::Int32, &S::psdColorModel,    "0", kFamilyColorModel,   "psd"},
  {"Input", "RAW Load As",        T::Int32, &S::rawLoadAs,        "0", kFamilyRawLoadAs,    "raw"},
  {"Input", "RAW Header Size",    T::Int32, &S::rawHeaderSize,    "0", N,                   "raw"},
  {"Input", "RAW Image Width",    T::Int32, &S::rawImageWidth,    "0", N,                   "raw"},
  {"Input", "RAW Image Height",   T::Int32, &S::rawImageHeight,   "0", N,                   "raw"},
  {"Input", "RAW Tone Mapping",   T::Int32, &S::rawToneMapping,   "2", kFamilyToneMapping,  "raw"},

  {"Output", "Format",            T::Text,  &S::outputFormat,    "",    N, nullptr},  // computed
  {"Output", "BMP BPP",           T::Int32, &S::bmpBpp,          "0",   N,                  "bmp"},
  {"Output", "BMP Compression",   T::Int32, &S::bmpCompression,  "0",   kFamilyCompression, "bmp"},
  {"Output", "BMP Color Table",   T::Int32, &S::bmpColorTable,   "0",   kFamilyColorTable,  "bmp"},
  {"Output", "DDS BPP",           T::Int32, &S::ddsBpp,          "0",   N,                  "dds"},
  {"Output", "EXR BPP",           T::Int32, &S::exrBpp,          "0",   N,                  "exr"},
  {"Output", "EXR Compression",   T::Int32, &S::exrCompression,  "0",   kFamilyCompression, "exr"},
  {"Output", "GIF BPP",           T::Int32, &S::gifBpp,          "0",   N,                  "gif"},
  {"Output", "HDR BPP",           T::Int32, &S::hdrBpp,          "0",   N,                  "hdr"},
  {"Output", "ICO BPP",           T::Int32, &S::icoBpp,          "0",   N,                  "ico"},
  {"Output", "J2K BPP",           T::Int32, &S::j2kBpp,          "0",   N,                  "j2k"},
  {"Output", "JNG BPP",           T::Int32, &S::jngBpp,          "0",   N,                  "jng"},
  {"Output", "JP2 BPP",           T::Int32, &S::jp2Bpp,          "0",   N,                  "jp2"},
  {"Output", "JPG BPP",           T::Int32, &S::jpgBpp,          "0",   N,                  "jpg"},
  {"Output", "JPG Quality",       T::Int32, &S::jpgQuality,      "95",  N,                  "jpg"},
  {"Output", "JPG Chroma",        T::Int32, &S::jpgChroma,       "0",   kFamilyJpgChroma,   "jpg"},
  {"Output", "JPG Save As",       T::Int32, &S::jpgSaveAs,       "0",   kFamilyJpgSaveAs,   "jpg"},
  {"Output", "JXR BPP",           T::Int32, &S::jxrBpp,          "0",   N,                  "jxr"},
  {"Output", "PBM BPP",           T::Int32, &S::pbmBpp,          "0",   N,                  "pbm"},
  {"Output", "PCX BPP",           T::Int32, &S::pcxBpp,          "0",   N,                  "pcx"},
  {"Output", "PFM BPP",           T::Int32, &S::pfmBpp,          "0",   N,                  "pfm"},
  {"Output", "PGM BPP",           T::Int32, &S::pgmBpp,          "0",   N,                  "pgm"},
  {"Output", "PNG BPP",           T::Int32, &S::pngBpp,          "0",   N,                  "png"},
  {"Output", "PNG Compression",   T::Int32, &S::pngCompression,  "0",   kFamilyCompression, "png"},
  {"Output", "PNG Interlaced",    T::Int8,  &S::pngInterlaced,   "0",   N,                  "png"},
  {"Output", "PPM BPP",           T::Int32, &S::ppmBpp,          "0",   N,                  "ppm"},
  {"Output", "PSD BPP",           T::Int32, &S::psdBpp,          "0",   N,                  "psd"},
  {"Output", "TGA BPP",           T::Int32, &S::tgaBpp,          "0",   N,                  "tga"},
  {"Output", "TGA Compression",   T::Int32, &S::tgaCompression,  "0",   kFamilyCompression, "tga"},
  {"Output", "TIFF BPP",          T::Int32, &S::tiffBpp,         "0",   N,                  "tiff"},
  {"Output", "TIFF Compression",  T::Int32, &S::tiffCompression, "0",   kFamilyCompression, "tiff"},
  {"Output", "TIFF Color Model",  T::Int32, &S::tiffColorModel,  "0",   kFamilyColorModel,  "tiff"},
  {"Output", "WBMP BPP",          T::Int32, &S::wbmpBpp,         "0",   N,                  "wbmp"},
  {"Output", "WEBP BPP",          T::Int32, &S::webpBpp,         "0",   N,                  "webp"},
  {"Output", "WEBP Quality",      T::Int32, &S::webpQuality,     "100", N,                  "webp"},
  {"Output", "XPM BPP",           T::Int32, &S::xpmBpp,          "0",   N,                  "xpm"},

  {"Transform", "Do Image Rotation",         T::Int8,   &S::doImageRotation,        "0",      N, nullptr},
  {"Transform", "Image Rotation Type",       T::Int8,   &S::imageRotationType,      "0",      kFamilyRotationType, nullptr},
  {"Transform", "Image Rotation",            T::Int32,  &S::imageRotation,          "0",      N, nullptr},
  {"Transform", "Image Rotation Back Color", T::Colour, &S::imageRotationBackColor, "000000", N, nullptr},
  {"Transform", "Do Image Resize",           T::Int8,   &S::doImageResize,          "0",      N, nullptr},
  {"Transform", "Image Width",               T::Int32,  &S::imageWidth,             "0",      N, nullptr},
  {"Transform", "Image Width Unit",          T::Int8,   &S::imageWidthUnit,         "0",      kFamilySizeUnit, nullptr},
  {"Transform", "Image Height",              T::Int32,  &S::imageHeight,            "0",      N, nullptr},
  {"Transform", "Image Height Unit",         T::Int8,   &S::imageHeightUnit,        "0",      kFamilySizeUnit, nullptr},
  {"Transform", "Keep Aspect Ratio",         T::Int8,   &S::keepAspectRatio,        "1",      N, nullptr},
  {"Transform", "Image Resize Type",         T::Int8,   &S::imageResizeType,        "0",      kFamilyResizeType, nullptr},
  {"Transform", "Image Resize Algorithm",    T::Int8,   &S::imageResizeAlgorithm,   "3",      kFamilyResizeAlgorithm, nullptr},
  {"Transform", "Do Image Flip Horizontal",  T::Int8,   &S::doImageFlipHorizontal,  "0",      N, nullptr},
  {"Transform", "Do Image Flip Vertical",    T::Int8,   &S::doImageFlipVertical,    "0",      N, nullptr},

  {"Adjustment", "Do Image Color Correction", T::Int8,  &S::doImageColorCorrection, "0",   N, nullptr},
  {"Adjustment", "Image Brightness",          T::Int32, &S::imageBrightness,        "0",   N, nullptr},
  {"Adjustment", "Image Contrast",            T::Int32, &S::imageContrast,          "0",   N, nullptr},
  {"Adjustment", "Image Gamma",               T::Float, &S::imageGamma,             "1.0", N, nullptr},
  {"Adjustment", "Image Invert",              T::Int8,  &S::imageInvert,            "0",   N, nullptr},
  {"Adjustment", "Do Image Greyscale",        T::Int8,  &S::doImageGreyscale,       "0",   N, nullptr},
  {"Adjustment", "Do Image Threshold",        T::Int8,  &S::doImageThreshold,       "0",   N, nullptr},
  {"Adjustment", "Image Threshold",           T::Int32, &S::imageThreshold,         "0",   N, nullptr},

  {"Frame", "Do Frame",           T::Int8,   &S::doFrame,          "0",      kFamilyFrame, nullptr},
  {"Frame", "Solid Left",         T::Int32,  &S::solidLeft,        "0",      N, nullptr},
  {"Frame", "Solid Right",        T::Int32,  &S::solidRight,       "0",      N, nullptr},
  {"Frame", "Solid Top",          T::Int32,  &S::solidTop,         "0",      N, nullptr},
  {"Frame", "Solid Bottom",       T::Int32,  &S::solidBottom,      "0",      N, nullptr},
  {"Frame", "Solid Left Color",   T::Colour, &S::solidLeftColor,   "000000", N, nullptr},
  {"Frame", "Solid Right Color",  T::Colour, &S::solidRightColor,  "000000", N, nullptr},
  {"Frame", "Solid Top Color",    T::Colour, &S::solidTopColor,    "000000", N, nullptr},
  {"Frame", "Solid Bottom Color", T::Colour, &S::solidBottomColor, "000000", N, nullptr},
  {"Frame", "Solid Opacity",      T::Int32,  &S::solidOpacity,     "255",    N, nullptr},

  {"Watermark", "Do Watermark",      T::Int8,   &S::doWatermark,       "0",                    kFamilyWatermark, nullptr},
  {"Watermark", "Text",              T::Text,   &S::text,              "",                     N, nullptr},  // computed
  {"Watermark", "Fonts",             T::Text,   &S::fonts,             "Arial,Tahoma,Verdana", N, nullptr},
  {"Watermark", "Font",              T::Text,   &S::font,              "Arial",                N, nullptr},
  {"Watermark", "Font Size",         T::Int32,  &S::fontSize,          "14",                   N, nullptr},
  {"Watermark", "Font Leading",      T::Int32,  &S::fontLeading,       "0",                    N, nullptr},
  {"Watermark", "Font Colors",       T::Text,   &S::fontColors,        kAllColors,             N, nullptr},
  {"Watermark", "Font Color",        T::Colour, &S::fontColor,         "FFFFFF",               N, nullptr},
  {"Watermark", "Font Style",        T::Int8,   &S::fontStyle,         "0",                    kFamilyFontStyle, nullptr},
  {"Watermark", "Font Effect",       T::Int8,   &S::fontEffect,        "0",                    kFamilyFontEffect, nullptr},
  {"Watermark", "Text Antialiasing", T::Int8,   &S::textAntialiasing,  "0",                    N, nullptr},
  {"Watermark", "Text Alignment",    T::Int8,   &S::textAlignment,     "0",                    kFamilyTextAlignment, nullptr},
  {"Watermark", "Text Padding",      T::Int32,  &S::textPadding,       "0",                    N, nullptr},
  {"Watermark", "Text Opacity",      T::Int32,  &S::textOpacity,       "255",                  N, nullptr},
  {"Watermark", "Back Colors",       T::Text,   &S::backColors,        kAllColors,             N, nullptr},
  {"Watermark", "Back Color",        T::Colour, &S::backColor,         "000000",               N, nullptr},
  {"Watermark", "Back Opacity",      T::Int32,  &S::backOpacity,       "1",                    N, nullptr},
  {"Watermark", "Text Boundary",     T::Int8,   &S::textBoundary,      "0",                    kFamilyBoundary, nullptr},
  {"Watermark", "Text Position",     T::Int8,   &S::textPosition,      "8",                    kFamilyPosition, nullptr},
  {"Watermark", "Text X Offset",     T::Int32,  &S::textXOffset,       "10",                   N, nullptr},
  {"Watermark", "Text Y Offset",     T::Int32,  &S::textYOffset,       "10",                   N, nullptr},
  {"Watermark", "Text Rotation",     T::Int32,  &S::textRotation,      "0",                    N, nullptr},
  {"Watermark", "Text Size",         T::Int8,   &S::textSize,          "0",                    kFamilySizeMode, nullptr},
  {"Watermark", "Text Scale",        T::Int32,  &S::textScale,         "10",                   N, nullptr},
  {"Watermark", "Image",             T::Text,   &S::image,             "",                     N, nullptr},
  {"Watermark", "Image Greyscale",   T::Int8,   &S::imageGreyscale,    "0",                    N, nullptr},
  {"Watermark", "Image Opacity",     T::Int32,  &S::imageOpacity,      "255",                  N, nullptr},
  {"Watermark", "Image Boundary",    T::Int8,   &S::imageBoundary,     "0",                    kFamilyBoundary, nullptr},
  {"Watermark", "Image Position",    T::Int8,   &S::imagePosition,     "8",                    kFamilyPosition, nullptr},
  {"Watermark", "Image X Offset",    T::Int32,  &S::imageXOffset,      "10",                   N, nullptr},
  {"Watermark", "Image Y Offset",    T::Int32,  &S::imageYOffset,      "10",                   N, nullptr},
  {"Watermark", "Image Rotation",    T::Int32,  &S::watermarkImageRotation, "0",               N, nullptr},
  {"Watermark", "Image Size",        T::Int8,   &S::imageSize,         "0",                    kFamilySizeMode, nullptr},
  {"Watermark", "Image Scale",       T::Int32,  &S::imageScale,        "10",                   N, nullptr},

  {"Advanced", "Filename Mask",       T::Text, &S::filenameMask,      "%filename%.%ext%", N, nullptr},
  {"Advanced", "File Timestamp",      T::Int8, &S::fileTimestamp,     "0",                kFamilyTimestamp, nullptr},
  {"Advanced", "Custom Timestamp",    T::Date, &S::customTimestamp,   "",                 N, nullptr},  // computed
  {"Advanced", "Out Folders History", T::Int8, &S::outFoldersHistory, "1",                N, nullptr},
  {"Advanced", "Out Folders Number",  T::Int8, &S::outFoldersNumber,  "5",                N, nullptr},
  {"Advanced", "Keep Subfolders",     T::Int8, &S::keepSubfolders,    "1",                N, nullptr},

  {"File", "Recent Out Folders", T::Text, &S::recentOutFolders, "", N, nullptr},
  {"File", "Recent Files",       T::Text, &S::recentFiles,      "", N, nullptr},

  {"Privacy", "Clean Recent Files", T::Int8, &S::cleanRecentFiles, "0", N, nullptr},
};
// clang-format on

}  // namespace

std::span<const SettingDef> SettingTable() { return kSettings; }

const SettingDef* FindSetting(const char* group, const char* key) {
  for (const SettingDef& d : kSettings)
    if (std::strcmp(d.group, group) == 0 && std::strcmp(d.key, key) == 0) return &d;
  return nullptr;
}

void SetFieldInteger(ConversionSettings& s, const SettingField& f, int64_t value) {
  std::visit(
      [&](auto member) {
        using V = std::remove_cvref_t<decltype(s.*member)>;
        if constexpr (std::is_same_v<V, std::string>)
          s.*member = std::to_string(value);
        else if constexpr (std::is_same_v<V, float>)
          s.*member = static_cast<float>(value);
        else  // keeps the low bits of the field's width
          s.*member = static_cast<V>(static_cast<uint64_t>(value));
      },
      f);
}

void SetFieldText(ConversionSettings& s, const SettingField& f, const std::string& value) {
  std::visit(
      [&](auto member) {
        using V = std::remove_cvref_t<decltype(s.*member)>;
        if constexpr (std::is_same_v<V, std::string>)
          s.*member = value;
        else if constexpr (std::is_same_v<V, float>)
          s.*member = ReadDecimal(value);
        else
          s.*member = static_cast<V>(static_cast<uint64_t>(ReadInteger(value)));
      },
      f);
}

std::string FieldText(const ConversionSettings& s, const SettingField& f) {
  return std::visit(
      [&](auto member) -> std::string {
        using V = std::remove_cvref_t<decltype(s.*member)>;
        if constexpr (std::is_same_v<V, std::string>) {
          return s.*member;
        } else if constexpr (std::is_same_v<V, float>) {
          return IniDecimalText(s.*member);
        } else {
          return std::to_string(static_cast<int64_t>(s.*member));
        }
      },
      f);
}

int64_t FieldInteger(const ConversionSettings& s, const SettingField& f) {
  return std::visit(
      [&](auto member) -> int64_t {
        using V = std::remove_cvref_t<decltype(s.*member)>;
        if constexpr (std::is_same_v<V, std::string>)
          return ReadInteger(s.*member);
        else if constexpr (std::is_same_v<V, float>)
          return static_cast<int64_t>(s.*member);
        else
          return static_cast<int64_t>(s.*member);
      },
      f);
}

void ResetSettings(ConversionSettings& s, bool commandLineFlavour) {
  for (const SettingDef& d : kSettings) SetFieldText(s, d.field, d.defaultValue);

  const auto now = static_cast<int32_t>(platform::NowLocal());
  s.updateDate = now;
  s.customTimestamp = now;
  const platform::DesktopSize desk = platform::PrimaryDesktopSize();
  s.x = s.width < desk.width ? (desk.width - s.width) / 2 : 100;
  s.y = s.height < desk.height ? (desk.height - s.height) / 2 : 100;
  s.inputFormat = InputFormatList().front();
  s.outputFormat = OutputFormatList().front();
  s.text = kMakerNotice;
  if (commandLineFlavour) s.keepAspectRatio = 0;
}

ConversionSettings& GlobalSettings() {
  static ConversionSettings settings;
  return settings;
}
