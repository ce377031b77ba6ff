#include "i18n/language.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>
#include <vector>

#include "settings/ini.h"
#include "settings/textcase.h"

namespace {

// Entries of a group may stand in any order here: loading sorts them.
// clang-format off
constexpr LanguagePair kPairs[] = {
    {"_GROUP_", "Menu"},
    {"File", "File"},
    {"New", "New"},
    {"Open", "Open..."},
    {"Save As", "Save As..."},
    {"Select Input File", "Add Input File..."},
    {"Select Input Files", "Add Input Files..."},
    {"Select Input Folder", "Add Input Folder..."},
    {"Delete Input Files", "Delete Files From the List"},
    {"Select Output Folder", "Select Output Folder..."},
    {"Output Format Options", "Options..."},
    {"Import Input Files", "Import Files..."},
    {"Export Input Files", "Export Files..."},
    {"Exit", "Exit"},
    {"Edit", "Edit"},
    {"Copy", "Copy"},
    {"Delete", "Delete"},
    {"Select All", "Select All"},
    {"Converter", "Converter"},
    {"Convert", "Convert"},
    {"Custom Converter", "Find a File Converter..."},
    {"Preferences", "Preferences..."},
    {"Help", "Help"},
    {"Manual", "User Manual..."},
    {"Send Feedback", "Send Feedback"},
    {"Visit Homepage", "Visit the Program's Homepage"},
    {"Check For New Version", "Check For a New Version"},
    {"About", "About..."},

    {"_GROUP_", "General"},
    {"Input File", "Input File:"},
    {"Input Files", "Input Files:"},
    {"Filename", "Filename"},
    {"Output Folder", "Output Folder:"},
    {"Output Format", "Output Format:"},
    {"Convert", "Convert"},
    {"Ready", "Ready"},
    {"Preparing", "Preparing..."},
    {"Importing", "Importing..."},
    {"Converting", "Converting..."},

    {"_GROUP_", "Msg"},
    {"Error", "Error"},
    {"Warning", "Warning"},
    {"Insufficient memory", "Insufficient Memory"},
    {"Unable to open file", "Unable to open the file: %s1%!"},
    {"Unable to save file", "Unable to save the file: %s1%!"},
    {"Empty input files", "No input file(s) found. Please, add valid file(s) and try again!"},
    {"Empty input folder", "The input folder's field is empty. Please, check the existed input folder and try again!"},
    {"Invalid input folder", "The following input folder is invalid or doesn't exist:\r\n%s1%\r\n\r\nPlease, correct the input path and try again!"},
    {"Empty output folder", "The output folder's field is empty. Please, select existed output folder and try again!"},
    {"Invalid output folder", "The following output folder is invalid or doesn't exist:\r\n%s1%\r\n\r\nPlease, correct the output path and try again!"},
    {"Invalid width", "Invalid resize width value!"},
    {"Invalid height", "Invalid resize height value!"},
    {"Invalid conversion type", "Invalid conversion type!"},
    {"Invalid watermark font", "Unable to load selected font for a watermark: %s1%"},
    {"Empty watermark image", "Selected watermark image is invalid/empty!"},
    {"Invalid watermark image", "Unable to load selected file as a watermark image: %s1%"},
    {"Import complete", "Import complete, new files added: %s1%"},
    {"Import is not complete", "Import stopped"},
    {"Export complete", "Export complete, entries saved: %s1%"},
    {"Export is not complete", "Export stopped"},
    {"Conversion complete", "Conversion complete"},
    {"Conversion is not complete", "Conversion stopped"},
    {"Progress", "(%s1%/%s2%)"},
    {"Files converted", "Files converted: %s1% of %s2%"},
    {"New Update", "New Update"},
    {"New Update Text", "A new version of Varnello TGA to JPG is available! Are you ready to download it right now?"},
    {"No Update", "No Update"},
    {"No Update Text", "There is no update of Varnello TGA to JPG yet. You're using the most recent version."},
    {"Check for Updates", "Check for Updates"},
    {"Ask check for updates", "Do you want to check for updates?"},
    {"Reset to Defaults", "Reset to Defaults"},
    {"Ask reset to defaults", "Are you sure you want to reset all your settings to the default values?"},
    {"Internet connection problems", "Internet connection problems!"},
    {"Ask overwrite file", "The file already exist. Do you want to overwrite it?"},
    {"Clean recent files", "Clean Recent Files"},
    {"Ask clean recent files", "Do you want to clean the recent files list?"},
    {"Ask continue to find", "No matches of %s1% found!\r\n\r\nDo you want to search from the start of the list?"},
    {"Ask break import", "Do you want to break the import?"},
    {"Ask break export", "Do you want to break the export?"},
    {"Ask break conversion", "Do you want to break the conversion?"},
    {"Empty extensions", "Please, fill all required fields and try again!"},

    {"_GROUP_", "Dialog"},
    {"Select Input Files", "Select Input Files"},
    {"Select Input Folder", "Select Input Folder"},
    {"Select Output Folder", "Select Output Folder"},
    {"Import Input Files", "Import Input Files From A List"},
    {"Export Input Files", "Export Input Files"},
    {"Select Watermark Image", "Select Watermark Image"},
    {"All Supported Files", "All Supported Files"},
    {"Text Files", "Text Files"},
    {"All Files", "All Files"},
    {"Import Progress", "Importing"},
    {"Export Progress", "Exporting"},
    {"Convert Progress", "Converting"},
    {"OK", "OK"},
    {"Cancel", "Cancel"},
    {"Help", "Help"},
    {"Defaults", "Defaults"},

    {"_GROUP_", "Preferences"},
    {"Title", "Preferences..."},
    {"None", "None"},
    {"Auto", "Auto"},
    {"General", "General"},
    {"Language", "Language:"},
    {"Check for Updates", "Check for Updates:"},
    {"Every day", "Every day"},
    {"Every week", "Every week"},
    {"Every month", "Every month"},
    {"Every 3 months", "Every 3 months"},
    {"Every 6 months", "Every 6 months"},
    {"Never", "Never"},
    {"Save window position", "Save Window's Coords:"},
    {"Interface", "Interface"},
    {"UI Theme", "Theme:"},
    {"UI Size", "Icon Size:"},
    {"Small", "Small"},
    {"Medium", "Medium"},
    {"Large", "Large"},
    {"Extra Large", "Extra Large"},
    {"Huge", "Huge"},
    {"Input", "Input"},
    {"Input Format", "Input Format:"},
    {"Header Size", "Header Size:"},
    {"Bytes", "bytes"},
    {"Load As", "Load As:"},
    {"RGB8", "RGB 8-bit"},
    {"RGB16", "RGB 16-bit"},
    {"RGB24", "RGB 24-bit"},
    {"RGB48HS", "RGB 48-bit (HS)"},
    {"RGB48", "RGB 48-bit"},
    {"BGRA", "BGR 32-bit"},
    {"RGBA", "RGB 32-bit"},
    {"Frame Loading", "Frame Loading:"},
    {"All Frames", "All"},
    {"First Frame", "First"},
    {"Middle Frame", "Middle"},
    {"Last Frame", "Last"},
    {"Random Frame", "Random"},
    {"Tone Mapping", "HDR Tone Mapping:"},
    {"Linear", "Linear"},
    {"Adaptive Logarithmic", "Adaptive Logarithmic"},
    {"DR Reduction", "DR Reduction"},
    {"Gradient Domain", "Gradient Domain"},
    {"Output", "Output"},
    {"Output Format", "Output Format:"},
    {"Bits Per Pixel", "Bits Per Pixel:"},
    {"Compression", "Compression:"},
    {"RLE", "RLE"},
    {"ZIP", "ZIP"},
    {"PIZ", "PIZ Wavelet"},
    {"PXR24", "PXR24"},
    {"B44", "B44"},
    {"ZLIB1", "ZLib Level 1"},
    {"ZLIB6", "ZLib Level 6"},
    {"ZLIB9", "ZLib Level 9"},
    {"CCITTFAX3", "CCITT Group 3 Fax"},
    {"CCITTFAX4", "CCITT Group 4 Fax"},
    {"PACKBITS", "PackBits"},
    {"DEFLATE", "Deflate (ZLib)"},
    {"ADOBEDEFLATE", "Adobe Deflate"},
    {"LZW", "LZW"},
    {"JPEG", "JPEG"},
    {"LOGLUV", "LogLuv"},
    {"Color Table", "Color Table:"},
    {"Exact", "Exact"},
    {"Color Model", "Color Model:"},
    {"RGB", "RGB"},
    {"CMYK", "CMYK"},
    {"LAB", "LAB"},
    {"Image Quality", "Image Quality:"},
    {"Chroma Subsampling", "Chroma Subsampling:"},
    {"Low", "Low"},
    {"Medium", "Medium"},
    {"High", "High"},
    {"Save As", "Save As:"},
    {"Baseline Standard", "Baseline Standard"},
    {"Baseline Simple", "Baseline Simple"},
    {"Baseline Optimized", "Baseline Optimized"},
    {"Progressive", "Progressive"},
    {"Interlaced", "Interlaced:"},
    {"Transform", "Transform"},
    {"Image Rotation", "Image Rotation:"},
    {"Rotation Type", "Rotation Type:"},
    {"Simple Rotation", "Simple"},
    {"Advanced Rotation", "Advanced"},
    {"Rotation Angle", "Rotation Angle:"},
    {"Background Color", "Background Color:"},
    {"Image Resize", "Image Resize:"},
    {"Image Width", "Image Width:"},
    {"Image Height", "Image Height:"},
    {"Pixels", "pixels"},
    {"Percent", "percent"},
    {"Keep Aspect Ratio", "Keep Proportions:"},
    {"Resize Type", "Resize Type:"},
    {"All Images", "All Images"},
    {"Large Images", "Large Images"},
    {"Resize Algorithm", "Resize Algorithm:"},
    {"Box", "Box"},
    {"Bilinear", "Bilinear"},
    {"Bspline", "B-Spline"},
    {"Bicubic", "Bicubic"},
    {"Catmullrom", "Catmull-Rom Spline"},
    {"Lanczos", "Lanczos"},
    {"Image Flip Horizontal", "Flip Horizontal:"},
    {"Image Flip Vertical", "Flip Vertical:"},
    {"Adjustment", "Adjustment"},
    {"Image Brightness", "Image Brightness:"},
    {"Image Contrast", "Image Contrast:"},
    {"Image Gamma", "Gamma Correction:"},
    {"Image Invert", "Invert Image:"},
    {"Image Greyscale", "Greyscale Image:"},
    {"Image Threshold", "Image Threshold:"},
    {"Threshold Level", "Threshold Level:"},
    {"Frame", "Frame"},
    {"Frame Type", "Frame:"},
    {"Frame Solid", "Solid Color"},
    {"Left", "Left:"},
    {"Right", "Right:"},
    {"Top", "Top:"},
    {"Bottom", "Bottom:"},
    {"Left Color", "Left Color:"},
    {"Right Color", "Right Color:"},
    {"Top Color", "Top Color:"},
    {"Bottom Color", "Bottom Color:"},
    {"Watermark", "Watermark"},
    {"Watermark Type", "Watermark:"},
    {"Watermark Text", "Text"},
    {"Watermark Image", "Image"},
    {"Text", "Text:"},
    {"Image", "Image:"},
    {"Font", "Font:"},
    {"Font Size", "Font Size:"},
    {"Points", "points"},
    {"Font Leading", "Font Leading:"},
    {"Font Color", "Font Color:"},
    {"Color", "Color"},
    {"Black", "Black"},
    {"Silver", "Silver"},
    {"Gray", "Gray"},
    {"White", "White"},
    {"Maroon", "Maroon"},
    {"Red", "Red"},
    {"Purple", "Purple"},
    {"Fuchsia", "Fuchsia"},
    {"Green", "Green"},
    {"Lime", "Lime"},
    {"Olive", "Olive"},
    {"Yellow", "Yellow"},
    {"Navy", "Navy"},
    {"Blue", "Blue"},
    {"Teal", "Teal"},
    {"Aqua", "Aqua"},
    {"Orange", "Orange"},
    {"Brown", "Brown"},
    {"Violet", "Violet"},
    {"Font Style", "Font Style:"},
    {"Regular", "Regular"},
    {"Bold", "Bold"},
    {"Italic", "Italic"},
    {"Bold Italic", "Bold Italic"},
    {"Font Effect", "Font Effect:"},
    {"Underline", "Underline"},
    {"Strikeout", "Strikethrough"},
    {"Antialiasing", "Antialiasing:"},
    {"Text Alignment", "Text Alignment:"},
    {"Align Left", "Left"},
    {"Align Center", "Center"},
    {"Align Right", "Right"},
    {"Text Padding", "Text Padding:"},
    {"Text Opacity", "Text Opacity:"},
    {"Background Opacity", "Background Opacity:"},
    {"Opacity", "Opacity:"},
    {"Boundary", "Boundary:"},
    {"Bound Image", "Image"},
    {"Bound Frame", "Frame"},
    {"Position", "Position:"},
    {"Top-Left", "Top-Left"},
    {"Top-Center", "Top-Center"},
    {"Top-Right", "Top-Right"},
    {"Middle-Left", "Middle-Left"},
    {"Middle-Center", "Middle-Center"},
    {"Middle-Right", "Middle-Right"},
    {"Bottom-Left", "Bottom-Left"},
    {"Bottom-Center", "Bottom-Center"},
    {"Bottom-Right", "Bottom-Right"},
    {"X-Offset", "X-Offset:"},
    {"Y-Offset", "Y-Offset:"},
    {"Size", "Size:"},
    {"Fixed", "Fixed"},
    {"Proportional", "Proportional"},
    {"Fit", "Fit"},
    {"Fill", "Fill"},
    {"Scale", "Scale:"},
    {"Advanced", "Advanced"},
    {"Filename Mask", "Filename Mask:"},
    {"File Timestamp", "File Timestamp:"},
    {"Current", "Current"},
    {"Original", "Original"},
    {"Custom", "Custom"},
    {"Custom Timestamp", "Custom Timestamp:"},
    {"Out Folders History", "Output Folders History:"},
    {"Clean On Exit", "Clean on Exit"},
    {"Keep Folders", "Keep Recent"},
    {"Out Folders Number", "Output Folders Number:"},
    {"Keep Subfolders", "Keep Subfolders:"},
    {"Export", "Export"},
    {"Txt", "TXT"},
    {"Txt Export", "Export to TXT"},
    {"Csv Export", "Export to CSV"},
    {"Csv", "CSV"},
    {"Csv Delimiter", "CSV Delimiter:"},
    {"Privacy", "Privacy"},
    {"Clean Recent Files", "Clean Recent Files List on Exit"},

    {"_GROUP_", "About"},
    {"Title", "About..."},
    {"Version", "Version:"},
    {"Website", "Web:"},
    {"Email", "E-mail:"},

    {"_GROUP_", "Custom-Converter"},
    {"Title", "Find a File Converter"},
    {"From", "From:"},
    {"To", "To:"},
    {"Search", "Search"},

    {"_GROUP_", "Uninstall"},
    {"Title", "Uninstall"},
    {"Uninstall Text", "Full Uninstall - Visit Uninstall Center"},
    {"Next", "Next"},

    {"_END_", ""},
};
// clang-format on

struct LanguageGroup {
  std::string name;  // upper-cased
  int first = 0, last = -1;  // inclusive run of entry indexes; last = first - 1 when empty
  std::array<int, 256> firstLetter{};  // first entry whose key begins with that character, or 0
};

// Index 0 of all three arrays is unused, so that 0 can mean "none".
struct LanguageTable {
  std::vector<std::string> keys, texts;
  std::vector<LanguageGroup> groups;
};

LanguageTable gTable;
// Survives a rebuild: the group order never changes, so the index keeps its meaning.
int gCurrentGroup = 0;

// Character code of the first character of a UTF-8 key, or -1 when the key is
// empty or begins with a character above code 255.
int FirstCharacterCode(const std::string& key) {
  if (key.empty()) return -1;
  const auto b0 = static_cast<unsigned char>(key[0]);
  if (b0 < 0x80) return b0;
  if ((b0 == 0xC2 || b0 == 0xC3) && key.size() > 1 && (static_cast<unsigned char>(key[1]) & 0xC0) == 0x80)
    return ((b0 & 0x1F) << 6) | (static_cast<unsigned char>(key[1]) & 0x3F);
  return -1;
}

void SortGroup(LanguageTable& table, LanguageGroup& group) {
  if (group.last < group.first) return;
  // Ordinal order of "KEY" U+0001 "text": by key, a key before every longer key it
  // is a prefix of, equal keys by text.
  std::vector<std::pair<std::string, std::string>> run;
  for (int i = group.first; i <= group.last; ++i)
    run.emplace_back(std::move(table.keys[i]), std::move(table.texts[i]));
  std::sort(run.begin(), run.end());
  int previous = -1;
  for (int i = group.first; i <= group.last; ++i) {
    auto& [key, text] = run[static_cast<size_t>(i - group.first)];
    table.keys[i] = std::move(key);
    table.texts[i] = std::move(text);
    const int code = FirstCharacterCode(table.keys[i]);
    if (code >= 0 && code != previous) group.firstLetter[static_cast<size_t>(code)] = i;
    previous = code;
  }
}

void ApplyLanguageFile(LanguageTable& table, const std::string& path) {
  IniDocument doc;
  if (path.empty() || !ReadIniFile(path, doc)) return;
  for (size_t g = 1; g < table.groups.size(); ++g) {
    const LanguageGroup& group = table.groups[g];
    if (group.last < group.first) continue;
    const IniGroup* section = FindIniGroup(doc, group.name);
    if (!section) continue;
    for (int i = group.first; i <= group.last; ++i)
      if (const IniKey* key = FindIniKey(section, table.keys[i])) table.texts[i] = key->value;
  }
}

}  // namespace

std::span<const LanguagePair> BuiltInLanguagePairs() { return kPairs; }

void LoadLanguageTable(const std::string& languageFile) {
  LanguageTable table;
  table.keys.emplace_back();
  table.texts.emplace_back();
  table.groups.emplace_back();
  for (const LanguagePair& pair : kPairs) {
    if (std::strcmp(pair.key, "_END_") == 0) break;
    if (std::strcmp(pair.key, "_GROUP_") == 0) {
      LanguageGroup group;
      group.name = UpperCase(pair.text);
      group.first = static_cast<int>(table.keys.size());
      table.groups.push_back(std::move(group));
      continue;
    }
    table.keys.push_back(UpperCase(pair.key));
    table.texts.emplace_back(pair.text);
    table.groups.back().last = static_cast<int>(table.keys.size()) - 1;
  }
  for (size_t g = 1; g < table.groups.size(); ++g) {
    LanguageGroup& group = table.groups[g];
    if (group.last < group.first) group.last = group.first - 1;
    SortGroup(table, group);
  }
  ApplyLanguageFile(table, languageFile);
  gTable = std::move(table);
}

std::string GetLanguageText(const std::string& group, const std::string& key) {
  const std::string wantedGroup = UpperCase(group);
  const std::string wantedKey = UpperCase(key);
  const auto groupCount = static_cast<int>(gTable.groups.size());
  if (gCurrentGroup <= 0 || gCurrentGroup >= groupCount || gTable.groups[gCurrentGroup].name != wantedGroup) {
    gCurrentGroup = 0;
    for (int g = 1; g < groupCount; ++g)
      if (gTable.groups[g].name == wantedGroup) {
        gCurrentGroup = g;
        break;
      }
  }
  if (gCurrentGroup == 0) return kNoStringError;
  const LanguageGroup& current = gTable.groups[gCurrentGroup];
  const int code = FirstCharacterCode(wantedKey);
  if (code < 0) return kNoStringError;
  // The run is sorted, so the scan from the first key with this letter can stop
  // at the first key above the wanted one.
  for (int i = current.firstLetter[static_cast<size_t>(code)]; i > 0 && i <= current.last; ++i) {
    const int order = wantedKey.compare(gTable.keys[i]);
    if (order == 0) return gTable.texts[i];
    if (order < 0) break;
  }
  return kNoStringError;
}
