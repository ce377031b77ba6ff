// The process-wide record of every setting, and the one table that describes it.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <variant>

struct ConversionSettings {
  // General
  int32_t cfg;
  std::string language;
  int32_t updateRange;
  int32_t updateDate;
  int8_t saveWindowPosition;
  // Window
  int8_t isMaximized;
  int32_t x, y, width, height;
  // Interface
  std::string uiTheme;
  int32_t uiSize;
  // Input
  std::string inputFormat;
  int32_t ddsLoadAs, gifFrameLoading, icoFrameLoading, tiffFrameLoading, psdColorModel;
  int32_t rawLoadAs, rawHeaderSize, rawImageWidth, rawImageHeight, rawToneMapping;
  // Output
  std::string outputFormat;
  int32_t bmpBpp, bmpCompression, bmpColorTable, ddsBpp, exrBpp, exrCompression, gifBpp, hdrBpp;
  int32_t icoBpp, j2kBpp, jngBpp, jp2Bpp;
  int32_t jpgBpp, jpgQuality, jpgChroma, jpgSaveAs;
  int32_t jxrBpp, pbmBpp, pcxBpp, pfmBpp, pgmBpp, pngBpp, pngCompression;
  int8_t pngInterlaced;
  int32_t ppmBpp, psdBpp, tgaBpp, tgaCompression, tiffBpp, tiffCompression, tiffColorModel;
  int32_t wbmpBpp, webpBpp, webpQuality, xpmBpp;
  // Transform
  int8_t doImageRotation, imageRotationType;
  int32_t imageRotation;
  std::string imageRotationBackColor;
  int8_t doImageResize;
  int32_t imageWidth;
  int8_t imageWidthUnit;
  int32_t imageHeight;
  int8_t imageHeightUnit, keepAspectRatio, imageResizeType, imageResizeAlgorithm;
  int8_t doImageFlipHorizontal, doImageFlipVertical;
  // Adjustment
  int8_t doImageColorCorrection;
  int32_t imageBrightness, imageContrast;
  float imageGamma;
  int8_t imageInvert, doImageGreyscale, doImageThreshold;
  int32_t imageThreshold;
  // Frame
  int8_t doFrame;
  int32_t solidLeft, solidRight, solidTop, solidBottom;
  std::string solidLeftColor, solidRightColor, solidTopColor, solidBottomColor;
  int32_t solidOpacity;
  // Watermark
  int8_t doWatermark;
  std::string text, fonts, font;
  int32_t fontSize, fontLeading;
  std::string fontColors, fontColor;
  int8_t fontStyle, fontEffect, textAntialiasing, textAlignment;
  int32_t textPadding, textOpacity;
  std::string backColors, backColor;
  int32_t backOpacity;
  int8_t textBoundary, textPosition;
  int32_t textXOffset, textYOffset, textRotation;
  int8_t textSize;
  int32_t textScale;
  std::string image;
  int8_t imageGreyscale;
  int32_t imageOpacity;
  int8_t imageBoundary, imagePosition;
  int32_t imageXOffset, imageYOffset, watermarkImageRotation;
  int8_t imageSize;
  int32_t imageScale;
  // Advanced
  std::string filenameMask;
  int8_t fileTimestamp;
  int32_t customTimestamp;
  int8_t outFoldersHistory, outFoldersNumber, keepSubfolders;
  // File
  std::string recentOutFolders, recentFiles;
  // Privacy
  int8_t cleanRecentFiles;
};

enum class SettingType { Int32, Int8, Float, Text, Colour, Date };

using SettingField = std::variant<int32_t ConversionSettings::*, int8_t ConversionSettings::*,
                                  float ConversionSettings::*, std::string ConversionSettings::*>;

inline constexpr int kNoFamily = -1;

struct SettingDef {
  const char* group;
  const char* key;
  SettingType type;
  SettingField field;
  const char* defaultValue;  // text form; computed defaults are filled in by ResetSettings
  int family;                // keyword family of a code setting, or kNoFamily
  const char* formatKey;     // Input/Output rows that belong to one format ("jpg"), else nullptr
};

// Every setting in configuration-file order (groups and keys as written).
std::span<const SettingDef> SettingTable();

// Looks a setting up by group and key, exactly as spelled in the table; nullptr when absent.
const SettingDef* FindSetting(const char* group, const char* key);

// Sets every field to its default. The command-line flavour starts with Keep Aspect Ratio off.
void ResetSettings(ConversionSettings& s, bool commandLineFlavour);

// Writes an integer or text into a field with the field's own width and type
// (int8 keeps the low 8 bits, a float field reads the value as a decimal).
void SetFieldInteger(ConversionSettings& s, const SettingField& f, int64_t value);
void SetFieldText(ConversionSettings& s, const SettingField& f, const std::string& value);
// The field's value as the configuration file writes it (decimal, six-digit float, or text).
std::string FieldText(const ConversionSettings& s, const SettingField& f);
int64_t FieldInteger(const ConversionSettings& s, const SettingField& f);

// The one record of the process; only the main thread writes it.
ConversionSettings& GlobalSettings();
