// Profile files: the processing options of a command-line run, collected in the
// group "CLI" of an INI file.
#pragma once

#include <string>

#include "settings/settings.h"

// Applies the keys of the first group named "CLI" (any letter case), top to
// bottom, as processing options with the profile's text rules; keys that are
// no processing option are ignored, so profiles do not nest. True when the
// file could be read, with or without such a group; false, changing nothing,
// when the path is empty or names a folder or a file that cannot be read.
bool LoadProfile(const std::string& path, ConversionSettings& s);
