// The set of files a run converts.
#pragma once

#include <functional>
#include <string>

#include "engine/run.h"

// Adds one file, replacing what the set held. Refuses an existing empty file
// and a file whose extension (lower-cased) is not an accepted input extension.
bool AddInputFile(ConversionRun& run, const std::string& path);

// The folder part of `path` with every occurrence of `root` removed, when it
// contains `root`; otherwise empty.
std::string RelativeSubfolder(const std::string& path, const std::string& root);

// The graphical face registers what it does after a file was added.
void SetInputFileAddedHook(std::function<void(const std::string&)> hook);
