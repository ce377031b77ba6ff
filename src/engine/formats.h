// The engine's table of image formats and the two lists of what this program
// converts from ("tga") and to ("jpg").
#pragma once

#include <string>
#include <vector>

struct OutputFormat {
  int formatId;             // FreeImage format id
  const char* key;          // lower-case extension
  const char* description;  // for dialogs
  const char* depths;       // ascending bits per pixel, comma-separated
};

struct InputFormat {
  const char* extension;
  const char* formatKey;
  const char* description;
};

// Lookups are exact and case-sensitive; nullptr when the key is unknown.
const OutputFormat* FindOutputFormat(const std::string& key);
const InputFormat* FindInputFormat(const std::string& extension);
const std::vector<OutputFormat>& OutputFormats();
const std::vector<InputFormat>& InputFormats();

const std::vector<std::string>& InputFormatList();   // {"tga"}
const std::vector<std::string>& OutputFormatList();  // {"jpg"}

// Every extension whose format is in InputFormatList: {"tga", "targa"}.
const std::vector<std::string>& AcceptedInputExtensions();
void BuildAcceptedExtensions();

bool IsOutputExtension(const std::string& key);
// True for depth 0 (automatic) and for every depth the format lists.
bool IsDepthAllowed(const std::string& key, int depth);
// The depths of an output format as numbers, ascending.
std::vector<int> FormatDepths(const std::string& key);
