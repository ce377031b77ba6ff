// Output file names from the filename mask, and the same tokens in watermark text.
#pragma once

#include <string>

#include "engine/run.h"
#include "settings/settings.h"

// Output folder, relative subfolder (when kept) and the expanded mask.
std::string OutputFilePath(const ConversionRun& run, const ConversionSettings& s);
// The filename mask, lower-cased as a whole, with its tokens replaced.
std::string ExpandFilenameMask(const ConversionRun& run, const ConversionSettings& s);
// The watermark Text with its tokens replaced; literal text keeps its case.
std::string ExpandWatermarkText(const ConversionRun& run, const ConversionSettings& s);
// Replaces every occurrence of one token (matched without regard to case).
std::string ReplaceNameToken(const std::string& text, const std::string& token, const ConversionRun& run);
