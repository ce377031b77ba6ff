// Profile files: a [CLI] group of processing options.
#pragma once

#include <string>

#include "settings/settings.h"

// False when the path is empty or the file cannot be opened for reading.
bool LoadProfile(const std::string& path, ConversionSettings& s);
