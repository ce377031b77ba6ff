#include "engine/cli_run.h"

#include <charconv>
#include <span>
#include <thread>

#include "app/messages.h"
#include "engine/depth.h"
#include "engine/formats.h"
#include "engine/input_set.h"
#include "engine/worker.h"
#include "i18n/language.h"
#include "overlay/watermark_font.h"
#include "platform/platform.h"
#include "settings/keywords.h"

namespace {

using S = ConversionSettings;

// One debug line: a label and a setting, shown as its keyword when it has a family.
struct EchoLine {
  const char* label;
  SettingField field;
  int family = kNoFamily;
};

// clang-format off
const EchoLine kJpgEcho[] = {
  {"JPG BPP: ", &S::jpgBpp}, {"JPG Quality: ", &S::jpgQuality},
  {"JPG Chroma Subsampling: ", &S::jpgChroma, kFamilyJpgChroma}, {"JPG Save As: ", &S::jpgSaveAs, kFamilyJpgSaveAs},
};
const EchoLine kRotationEcho[] = {
  {"Image Rotation Type: ", &S::imageRotationType, kFamilyRotationType}, {"Image Rotation: ", &S::imageRotation},
  {"Image Rotation Back Color: ", &S::imageRotationBackColor},
};
const EchoLine kResizeEcho[] = {
  {"Keep Aspect Ratio: ", &S::keepAspectRatio}, {"Image Resize Type: ", &S::imageResizeType, kFamilyResizeType},
  {"Image Resize Algorithm: ", &S::imageResizeAlgorithm, kFamilyResizeAlgorithm},
};
const EchoLine kFlipEcho[] = {
  {"Flip Horizontal: ", &S::doImageFlipHorizontal}, {"Flip Vertical: ", &S::doImageFlipVertical},
};
const EchoLine kFrameEcho[] = {
  {"Frame left: ", &S::solidLeft}, {"Frame right: ", &S::solidRight}, {"Frame top: ", &S::solidTop},
  {"Frame bottom: ", &S::solidBottom}, {"Frame left color: ", &S::solidLeftColor},
  {"Frame right color: ", &S::solidRightColor}, {"Frame top color: ", &S::solidTopColor},
  {"Frame bottom color: ", &S::solidBottomColor}, {"Frame opacity: ", &S::solidOpacity},
};
const EchoLine kTextWatermarkEcho[] = {
  {"Watermark text: ", &S::text}, {"Watermark font: ", &S::font}, {"Watermark font size: ", &S::fontSize},
  {"Watermark font leading: ", &S::fontLeading}, {"Watermark font color: ", &S::fontColor},
  {"Watermark font style: ", &S::fontStyle, kFamilyFontStyle}, {"Watermark font effect: ", &S::fontEffect, kFamilyFontEffect},
  {"Watermark text antialiasing: ", &S::textAntialiasing},
  {"Watermark text alignment: ", &S::textAlignment, kFamilyTextAlignment},
  {"Watermark text padding: ", &S::textPadding}, {"Watermark text opacity: ", &S::textOpacity},
  {"Watermark background color: ", &S::backColor}, {"Watermark background opacity: ", &S::backOpacity},
  {"Watermark boundary: ", &S::textBoundary, kFamilyBoundary}, {"Watermark position: ", &S::textPosition, kFamilyPosition},
};
const EchoLine kTextWatermarkTail[] = {
  {"Watermark rotation: ", &S::textRotation}, {"Watermark size/mode: ", &S::textSize, kFamilySizeMode},
};
const EchoLine kImageWatermarkEcho[] = {
  {"Watermark image: ", &S::image}, {"Watermark greyscale: ", &S::imageGreyscale},
  {"Watermark opacity: ", &S::imageOpacity}, {"Watermark boundary: ", &S::imageBoundary, kFamilyBoundary},
  {"Watermark position: ", &S::imagePosition, kFamilyPosition},
};
const EchoLine kImageWatermarkTail[] = {
  {"Watermark rotation: ", &S::watermarkImageRotation}, {"Watermark size/mode: ", &S::imageSize, kFamilySizeMode},
};
// clang-format on

struct Console {
  bool quiet;
  bool debug;
  const ConversionSettings& s;

  void Status(const std::string& line) const {
    if (!quiet) platform::WriteLine(line);
  }
  void Echo(const std::string& label, const std::string& value) const {
    if (debug) platform::WriteLine(label + value);
  }
  std::string Value(const SettingField& field, int family) const {
    return family == kNoFamily ? FieldText(s, field) : KeywordText(family, static_cast<int>(FieldInteger(s, field)));
  }
  void Echo(std::span<const EchoLine> lines) const {
    for (const EchoLine& l : lines) Echo(l.label, Value(l.field, l.family));
  }
  // Error lines are printed even when quiet; the run then ends.
  bool Fail(const std::string& line) const {
    platform::WriteLine(line);
    return false;
  }
};

bool HasExtension(const std::string& path) {
  const size_t slash = path.rfind('/');
  const size_t dot = path.rfind('.');
  return dot != std::string::npos && (slash == std::string::npos || dot > slash) && dot + 1 < path.size();
}

std::string FolderPart(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// Independent of the locale: the decimal point is always ".".
std::string TwoDecimals(float v) {
  char buf[64];
  const auto result = std::to_chars(buf, buf + sizeof buf, static_cast<double>(v), std::chars_format::fixed, 2);
  return std::string(buf, result.ptr);
}

std::string Text(const char* group, const char* key) { return GetLanguageText(group, key); }

}  // namespace

bool RunCommandLineConversion(ConversionRun& run, const ConversionSettings& s, const std::string& inputFile,
                              bool quiet) {
  const Console out{quiet, run.runMode == "DEBUG", s};

  out.Status(Text("General", "Preparing"));
  out.Echo("Input: ", inputFile);
  if (!HasExtension(inputFile)) return out.Fail("Error: Invalid input file");
  run.inputPath = inputFile;
  run.inputRoot.clear();
  if (platform::FileSize(run.inputPath) <= 0) return out.Fail("Error: Invalid input file");

  if (run.outputFolder.empty()) run.outputFolder = FolderPart(run.inputPath);
  out.Echo("Output: ", run.outputFolder);
  if (run.outputFolder.rfind("..", 0) == 0) return out.Fail("Error: Incorrect output folder");
  if (run.outputFolder.empty() || run.outputFolder[0] != '/') {
    // Relative folders are taken from the program's own folder, not the current one.
    if (run.outputFolder.rfind("./", 0) == 0) run.outputFolder.erase(0, 2);
    run.outputFolder = platform::ProgramFolder() + run.outputFolder;
  }
  if (run.outputFolder.back() != '/') run.outputFolder += '/';
  if (!platform::IsFolder(run.outputFolder)) return out.Fail("Error: Invalid output folder");

  if (run.outputExtension.empty()) run.outputExtension = OutputFormatList().front();
  out.Echo("Conversion: ", run.outputExtension);
  if (!IsOutputExtension(run.outputExtension)) return out.Fail("Error: Invalid conversion type");

  out.Echo(kJpgEcho);
  if (!IsDepthAllowed("jpg", s.jpgBpp)) return out.Fail("Error: Invalid jpg-bpp value");
  if (s.jpgQuality < 1 || s.jpgQuality > 100) return out.Fail("Error: Invalid jpg-quality value");

  if (s.doImageRotation) out.Echo(kRotationEcho);
  if (s.doImageResize) {
    out.Echo("Width: ", std::to_string(s.imageWidth) + " " + KeywordText(kFamilySizeUnit, s.imageWidthUnit));
    if (s.imageWidth == 0) return out.Fail("Error: Invalid width value");
    out.Echo("Height: ", std::to_string(s.imageHeight) + " " + KeywordText(kFamilySizeUnit, s.imageHeightUnit));
    if (s.imageHeight == 0) return out.Fail("Error: Invalid height value");
    out.Echo(kResizeEcho);
  }
  out.Echo(kFlipEcho);
  if (s.doImageColorCorrection) {
    out.Echo("Brightness: ", std::to_string(s.imageBrightness));
    if (s.imageBrightness < -100 || s.imageBrightness > 100) return out.Fail("Error: Invalid brightness value");
    out.Echo("Contrast: ", std::to_string(s.imageContrast));
    if (s.imageContrast < -100 || s.imageContrast > 100) return out.Fail("Error: Invalid contrast value");
    out.Echo("Gamma: ", TwoDecimals(s.imageGamma));
    // Written so that NaN fails too.
    if (!(s.imageGamma >= 0.01f && s.imageGamma <= 9.99f)) return out.Fail("Error: Invalid gamma value");
    out.Echo("Invert: ", std::to_string(s.imageInvert));
  }
  out.Echo("Greyscale: ", std::to_string(s.doImageGreyscale));
  if (s.doImageThreshold) out.Echo("Image Threshold: ", std::to_string(s.imageThreshold));

  out.Echo("Frame: ", KeywordText(kFamilyFrame, s.doFrame));
  if (s.doFrame == 1) out.Echo(kFrameEcho);

  out.Echo("Watermark: ", KeywordText(kFamilyWatermark, s.doWatermark));
  WatermarkFontPtr font;
  if (s.doWatermark == 1) {
    out.Echo(kTextWatermarkEcho);
    out.Echo("Watermark offset (x/y): ", std::to_string(s.textXOffset) + "/" + std::to_string(s.textYOffset));
    out.Echo(kTextWatermarkTail);
    font = LoadWatermarkFont(s);
    if (!font) return out.Fail("Error: Invalid watermark font");
  } else if (s.doWatermark == 2) {
    out.Echo(kImageWatermarkEcho);
    out.Echo("Watermark offset (x/y): ", std::to_string(s.imageXOffset) + "/" + std::to_string(s.imageYOffset));
    out.Echo(kImageWatermarkTail);
    if (platform::FileSize(s.image) <= 0) return out.Fail("Error: Invalid watermark image");
  }

  out.Echo("Filename Mask: ", s.filenameMask);
  out.Echo("File Timestamp: ", KeywordText(kFamilyTimestamp, s.fileTimestamp));
  if (s.fileTimestamp == 2) out.Echo("Custom Timestamp: ", std::to_string(s.customTimestamp));
  out.Echo("Keep Subfolders: ", std::to_string(s.keepSubfolders));

  run.outputFormatId = FindOutputFormat(run.outputExtension)->formatId;
  run.targetDepth = s.jpgBpp;
  run.saveFlags = SaveFlagsFor(run.outputExtension, s);
  run.autoDepth = run.targetDepth == 0;
  run.watermarkFont = font.get();

  out.Status(Text("General", "Importing"));
  const int added = run.inputRoot.empty() && AddInputFile(run, run.inputPath) ? 1 : 0;
  out.Status(FormatMessageText(Text("Msg", "Import complete"), std::to_string(added)));
  if (added == 0) {
    platform::WriteLine(Text("Msg", "Conversion is not complete"));
    platform::WriteLine(Text("Msg", "Empty input files"));
    return false;
  }

  out.Status(Text("General", "Converting"));
  ConversionProgress progress;
  std::thread worker(ConversionWorker, std::ref(run), std::cref(s), std::ref(progress), out.debug);
  worker.join();
  run.watermarkFont = nullptr;

  const int converted = progress.convertedCount;
  if (converted > 0) {
    out.Status(Text("Msg", "Conversion complete"));
    out.Status(FormatMessageText(Text("Msg", "Files converted"), std::to_string(converted), std::to_string(added)));
    return true;
  }
  platform::WriteLine(Text("Msg", "Conversion is not complete"));
  // Standard output keeps its fixed lines; the reason goes to standard error.
  if (!run.failure.empty()) platform::WriteErrorLine("velmora: " + run.inputPath + ": " + run.failure);
  return false;
}
