#include "engine/formats.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

// clang-format off
const std::vector<OutputFormat> kOutputFormats = {
  {0,  "bmp",  "Windows or OS/2 Bitmap",      "1,4,8,16,24,32"},
  {29, "exr",  "ILM OpenEXR",                 "96"},
  {25, "gif",  "Graphics Interchange Format", "8"},
  {26, "hdr",  "High Dynamic Range Image",    "96"},
  {1,  "ico",  "Windows Icon",                "1,4,8,16,24,32"},
  {30, "j2k",  "JPEG-2000 Codestream",        "8,24,32,48"},
  {3,  "jng",  "JPEG Network Graphics",       "24,32"},
  {31, "jp2",  "JPEG-2000 File Format",       "8,24,32,48"},
  {2,  "jpg",  "JPEG File Format",            "8,24"},
  {36, "jxr",  "JPEG XR Image Format",        "1,8,16,24,32,48,96"},
  {7,  "pbm",  "Portable Bitmap",             "1"},
  {32, "pfm",  "Portable Floatmap",           "96"},
  {11, "pgm",  "Portable Greymap",            "8"},
  {13, "png",  "Portable Network Graphics",   "1,4,8,24,32,48"},
  {14, "ppm",  "Portable Pixelmap",           "24,48"},
  {17, "tga",  "Truevision Targa",            "8,16,24,32"},
  {18, "tiff", "Tagged Image File Format",    "1,4,8,24,32,48,96"},
  {19, "wbmp", "Wireless Bitmap",             "1"},
  {35, "webp", "Google WebP Image Format",    "24,32"},
  {23, "xpm",  "X11 Pixmap Format",           "24"},
};

struct InputRow {
  const char* formatKey;
  const char* description;
  const char* extensions;  // space-separated; the first of a new key is its own key
};

const InputRow kInputRows[] = {
  {"bmp",  "Windows or OS/2 Bitmap",            "bmp rle dib"},
  {"dds",  "DirectDraw Surface File",           "dds"},
  {"emf",  "Enhanced Metafile Format",          "emf emz"},
  {"gif",  "GIF File",                          "gif"},
  {"hdr",  "High Dynamic Range File",           "hdr hdri"},
  {"ico",  "Windows Icon",                      "ico"},
  {"jpg",  "JPEG File",                         "jpg jpeg jpe jif"},
  {"pcd",  "Kodak PhotoCD File",                "pcd pcd1 pcds ppcd"},
  {"pcx",  "ZSoft Paintbrush File",             "pcx"},
  {"pic",  "Macintosh PICT",                    "pic pict pct"},
  {"png",  "Portable Network Graphics",         "png"},
  {"psd",  "Adobe Photoshop File",              "psd"},
  {"tga",  "Truevision Targa",                  "tga targa"},
  {"tiff", "Tagged Image File Format",          "tiff tif"},
  {"wmf",  "Windows Metafile Format",           "wmf wmz"},
  {"wmf",  "Aldus Placeable Metafile",          "apm"},
  {"raw",  "Camera RAW Image",                  "raw raw1 raw2"},
  {"raw",  "Hasselblad Camera RAW Image",       "3fr"},
  {"raw",  "Sony Camera RAW Image",             "arw sr2 srf"},
  {"raw",  "Casio Camera RAW Image",            "bay"},
  {"raw",  "NuCore RAW Image",                  "bmq"},
  {"raw",  "Phase One Camera RAW Image",        "cap iiq eip"},
  {"raw",  "Phantom RAW Image",                 "cine"},
  {"raw",  "Canon Camera RAW Image",            "cr2 crw"},
  {"raw",  "Capture Shop RAW Image",            "cs1"},
  {"raw",  "Kodak Camera RAW Image",            "dc2 dcr drf dsc k25 kc2 kdc dcs"},
  {"raw",  "Adobe Digital Negative Image",      "dng"},
  {"raw",  "Epson Camera RAW Image",            "erf"},
  {"raw",  "Imacon Camera RAW Image",           "fff"},
  {"raw",  "Sinar RAW Image",                   "ia sti"},
  {"raw",  "Minolta Camera RAW Image",          "mdc mrw"},
  {"raw",  "Mamiya Camera RAW Image",           "mef mos"},
  {"raw",  "Nikon Camera RAW Image",            "nef nrw"},
  {"raw",  "Olympus Camera RAW Image",          "orf"},
  {"raw",  "Pentax Camera RAW Image",           "pef ptx"},
  {"raw",  "Logitech Camera RAW Image",         "pxn"},
  {"raw",  "Apple Quicktake Camera RAW Image",  "qtk"},
  {"raw",  "Fuji Camera RAW Image",             "raf"},
  {"raw",  "Digital Foto Maker RAW Image",      "rdc"},
  {"raw",  "Panasonic Camera RAW Image",        "rw2"},
  {"raw",  "Rawzor Camera RAW Image",           "rwz"},
  {"raw",  "Sigma Camera RAW Image",            "x3f"},
  {"raw",  "ARRI RAW Image",                    "ari"},
  {"raw",  "RED RAW Image",                     "r3d"},
  {"raw",  "Leica Camera RAW Image",            "rwl"},
};
// clang-format on

// Extension texts live as long as the program; the table keeps pointers into them.
std::vector<InputFormat> BuildInputFormats() {
  static std::vector<std::string> storage = [] {
    std::vector<std::string> words;
    for (const InputRow& row : kInputRows) {
      std::string list = row.extensions;
      size_t start = 0;
      while (start <= list.size()) {
        size_t end = list.find(' ', start);
        if (end == std::string::npos) end = list.size();
        words.push_back(list.substr(start, end - start));
        start = end + 1;
      }
    }
    return words;
  }();
  std::vector<InputFormat> formats;
  size_t word = 0;
  for (const InputRow& row : kInputRows) {
    const size_t count = 1 + static_cast<size_t>(std::count(row.extensions, row.extensions + std::strlen(row.extensions), ' '));
    for (size_t i = 0; i < count; ++i) formats.push_back({storage[word++].c_str(), row.formatKey, row.description});
  }
  return formats;
}

std::vector<std::string>& MutableAccepted() {
  static std::vector<std::string> accepted;
  return accepted;
}

}  // namespace

const std::vector<OutputFormat>& OutputFormats() { return kOutputFormats; }

const std::vector<InputFormat>& InputFormats() {
  static const std::vector<InputFormat> formats = BuildInputFormats();
  return formats;
}

const OutputFormat* FindOutputFormat(const std::string& key) {
  for (const OutputFormat& f : kOutputFormats)
    if (key == f.key) return &f;
  return nullptr;
}

const InputFormat* FindInputFormat(const std::string& extension) {
  for (const InputFormat& f : InputFormats())
    if (extension == f.extension) return &f;
  return nullptr;
}

const std::vector<std::string>& InputFormatList() {
  static const std::vector<std::string> list = {"tga"};
  return list;
}

const std::vector<std::string>& OutputFormatList() {
  static const std::vector<std::string> list = {"jpg"};
  return list;
}

void BuildAcceptedExtensions() {
  std::vector<std::string>& accepted = MutableAccepted();
  accepted.clear();
  for (const std::string& key : InputFormatList())
    for (const InputFormat& f : InputFormats())
      if (key == f.formatKey) accepted.emplace_back(f.extension);
  if (accepted.empty()) accepted.emplace_back();  // an empty list still has one (empty) element
}

const std::vector<std::string>& AcceptedInputExtensions() {
  if (MutableAccepted().empty()) BuildAcceptedExtensions();
  return MutableAccepted();
}

bool IsOutputExtension(const std::string& key) {
  for (const std::string& k : OutputFormatList())
    if (k == key) return true;
  return false;
}

std::vector<int> FormatDepths(const std::string& key) {
  std::vector<int> depths;
  const OutputFormat* f = FindOutputFormat(key);
  if (!f) return depths;
  for (const char* p = f->depths; *p;) {
    char* end = nullptr;
    depths.push_back(static_cast<int>(std::strtol(p, &end, 10)));
    p = *end == ',' ? end + 1 : end;
  }
  return depths;
}

bool IsDepthAllowed(const std::string& key, int depth) {
  if (depth == 0) return true;
  for (int d : FormatDepths(key))
    if (d == depth) return true;
  return false;
}
