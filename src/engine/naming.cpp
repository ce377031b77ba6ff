#include "engine/naming.h"

// Filled in with the output naming; until then the default mask's shape.
std::string OutputFilePath(const ConversionRun& run, const ConversionSettings& s) {
  return run.outputFolder + ExpandFilenameMask(run, s);
}
std::string ExpandFilenameMask(const ConversionRun& run, const ConversionSettings&) { return "out." + run.outputExtension; }
std::string ExpandWatermarkText(const ConversionRun&, const ConversionSettings& s) { return s.text; }
std::string ReplaceNameToken(const std::string& text, const std::string&, const ConversionRun&) { return text; }
