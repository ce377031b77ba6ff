// The conversion worker and the per-image pipeline.
#pragma once

#include <string>

#include "engine/bitmap.h"
#include "engine/run.h"
#include "settings/settings.h"

// Runs the pipeline for run.inputPath; true when the output file was written.
bool ConvertImage(ConversionRun& run, const ConversionSettings& s);

// Converts every file of the input set while progress.keepRunning holds, then
// stores the success count. Debug lines are printed when `debug` is set.
void ConversionWorker(ConversionRun& run, const ConversionSettings& s, ConversionProgress& progress, bool debug);

// Writes the bitmap through a temporary file in the target's folder that is
// renamed over the target only when the encoder succeeded; an older file of that
// name survives any failure. Refuses to write over `inputPath`. On failure,
// `failure` says why.
bool SaveAtomically(FIBITMAP* bitmap, int formatId, int flags, const std::string& path, const std::string& inputPath,
                    std::string& failure);
