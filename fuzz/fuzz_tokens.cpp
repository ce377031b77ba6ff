// Token expansion of filename masks and watermark texts. Input layout: 12 bytes
// of numbers (output width, height and depth as three 32-bit values, little-end
// first), one byte of flags, then NUL-separated texts: filename mask, watermark
// text, input path, output extension, output folder, relative subfolder, and a
// token for ReplaceNameToken. Missing parts are zero or empty.
//
// Besides the sanitizers, it checks what holds for any input: a mask without "%"
// is only lower-cased (checked for ASCII masks), a text with fewer than two "%" is
// kept as it is, and the output path begins with the folder it is formed in.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "engine/naming.h"
#include "engine/run.h"
#include "settings/settings.h"

namespace {

void Require(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "fuzz_tokens: %s\n", what);
  std::abort();
}

int32_t Number(const uint8_t* data, size_t size, size_t at) {
  uint32_t v = 0;
  for (size_t k = 0; k < 4; ++k)
    if (at + k < size) v |= static_cast<uint32_t>(data[at + k]) << (8 * k);
  return static_cast<int32_t>(v);
}

bool IsAscii(const std::string& t) {
  for (char c : t)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

std::string AsciiLower(std::string t) {
  for (char& c : t)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return t;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  constexpr size_t kHeader = 13;
  ConversionRun run;
  run.outputWidth = Number(data, size, 0);
  run.outputHeight = Number(data, size, 4);
  run.targetDepth = Number(data, size, 8);
  const uint8_t flags = size > 12 ? data[12] : 0;
  // The counters keep the ranges the worker gives them.
  run.randomToken = 1 + (run.outputWidth & 0x7fffffff) % 99999;
  run.sequenceNumber = flags & 0x80 ? INT32_MAX - (flags & 0x7f) : 1 + (flags & 0x7f);

  std::vector<std::string> parts;
  const char* text = reinterpret_cast<const char*>(data);
  for (size_t start = kHeader; start < size;) {
    const void* nul = std::memchr(text + start, '\0', size - start);
    const size_t end = nul ? static_cast<size_t>(static_cast<const char*>(nul) - text) : size;
    parts.emplace_back(text + start, end - start);
    start = end + 1;
  }
  parts.resize(7);

  ConversionSettings s{};
  s.filenameMask = parts[0];
  s.text = parts[1];
  s.keepSubfolders = flags & 1;
  run.inputPath = parts[2];
  run.outputExtension = parts[3];
  run.outputFolder = parts[4];
  run.relativeSubfolder = parts[5];

  const std::string name = ExpandFilenameMask(run, s);
  if (!s.filenameMask.empty() && s.filenameMask.find('%') == std::string::npos && IsAscii(s.filenameMask))
    Require(name == AsciiLower(s.filenameMask), "a mask without tokens must only be lower-cased");

  const std::string marked = ExpandWatermarkText(run, s);
  size_t percents = 0;
  for (char c : s.text) percents += c == '%';
  if (percents < 2) Require(marked == s.text, "a text without a token pair must stay as it is");

  const std::string path = OutputFilePath(run, s);
  const std::string folder = run.outputFolder + (s.keepSubfolders ? run.relativeSubfolder : std::string());
  Require(path.compare(0, folder.size(), folder) == 0, "the output path must begin with its folder");

  (void)ReplaceNameToken(s.text, parts[6], run);
  return 0;
}
