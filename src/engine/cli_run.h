// The command-line run: checks, debug echo, import, conversion and totals.
#pragma once

#include <string>

#include "engine/run.h"
#include "settings/settings.h"

// `inputFile` is the path given with -i. Prints status lines unless quiet, error
// lines always. True when the file was converted.
bool RunCommandLineConversion(ConversionRun& run, const ConversionSettings& s, const std::string& inputFile,
                              bool quiet);
