// Per-run and per-file state of the engine, and the record shared with the
// front end while the worker runs.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>

struct WatermarkFont;  // defined by the overlay module

struct InputFileEntry {
  int32_t present = 0;
  std::string relativeSubfolder;  // empty or ending in "/"
};

struct ConversionRun {
  bool commandLine = false;  // set by -i: a command-line run, not a graphical one
  std::string runMode;       // "", "DEBUG" or "T"

  std::string inputPath;
  std::string inputRoot;
  std::string relativeSubfolder;
  std::string outputFolder;     // ends in "/" once a run is prepared
  std::string outputExtension;  // output format key, "jpg"
  int32_t outputFormatId = 0;
  int32_t targetDepth = 0;  // 0: automatic
  bool autoDepth = false;
  int32_t saveFlags = 0;
  int32_t sourceDepth = 0;
  int32_t outputWidth = 0;
  int32_t outputHeight = 0;
  std::string outputPath;
  std::string failure;  // why the current file failed; empty after a success
  int32_t randomToken = 0;
  int32_t sequenceNumber = 0;

  std::map<std::string, InputFileEntry> inputFiles;

  // Created by the front end before the worker starts, released after it ends.
  const WatermarkFont* watermarkFont = nullptr;
};

struct ConversionProgress {
  std::mutex progressMutex;  // guards the three fields below
  int32_t currentIndex = 0;
  std::string currentFile;
  int32_t convertedCount = 0;
  std::atomic<bool> keepRunning{true};  // written under the mutex, read without it
  std::atomic<bool> held{false};        // the front end holds the worker between files
};

// Empties texts and the input set, zeroes numbers, draws a fresh random token and
// restarts the sequence at 1. The output size of the last image is kept.
void ResetEngine(ConversionRun& run);

// The engine state of the process.
ConversionRun& GlobalRun();
