// Names and values of command-line arguments.
#pragma once

#include <string>
#include <vector>

#include "engine/run.h"
#include "settings/settings.h"

// Upper-cased option name of argument i: the part before "=" of a "--" argument,
// a whole "-" argument, or empty; empty past the end.
std::string ArgumentName(const std::vector<std::string>& args, size_t i);
// The text after the first "=" of a "--" argument, else the whole trimmed argument.
std::string ArgumentValue(const std::vector<std::string>& args, size_t i);

struct ParsedArguments {
  std::string input;  // the value of -i
  bool quiet = false;
  bool pause = false;
  std::string error;  // empty, or the message that ended the walk
};

// Walks the arguments left to right: core options go to the run, processing
// options and profiles to the settings, in order; stops at the first error.
ParsedArguments WalkArguments(const std::vector<std::string>& args, ConversionRun& run, ConversionSettings& s);
