#include "engine/input_set.h"

#include <algorithm>
#include <cctype>

#include "engine/formats.h"
#include "platform/platform.h"

namespace {
std::function<void(const std::string&)>& AddedHook() {
  static std::function<void(const std::string&)> hook;
  return hook;
}
}  // namespace

void SetInputFileAddedHook(std::function<void(const std::string&)> hook) { AddedHook() = std::move(hook); }

std::string RelativeSubfolder(const std::string& path, const std::string& root) {
  if (path.empty() || root.empty()) return {};
  const size_t slash = path.rfind('/');
  std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  if (folder.find(root) == std::string::npos) return {};
  for (size_t at; (at = folder.find(root)) != std::string::npos;) folder.erase(at, root.size());
  return folder;
}

bool AddInputFile(ConversionRun& run, const std::string& path) {
  if (platform::FileSize(path) == 0) return false;
  const size_t dot = path.rfind('.');
  std::string extension = dot == std::string::npos ? std::string() : path.substr(dot + 1);
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  const auto& accepted = AcceptedInputExtensions();
  if (std::find(accepted.begin(), accepted.end(), extension) == accepted.end()) return false;
  run.inputFiles.clear();
  InputFileEntry& entry = run.inputFiles[path];
  entry.relativeSubfolder = RelativeSubfolder(path, run.inputRoot);
  entry.present = 1;
  if (!run.commandLine && AddedHook()) AddedHook()(path);
  return true;
}
