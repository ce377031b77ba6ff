// Arbitrary argument vectors through the argument walk. The input is split at NUL
// bytes into arguments; each vector is walked with a fresh engine state and fresh
// command-line settings, and the walked settings then name an output file as a
// conversion would.
//
// A profile named by the arguments is read through the real profile reader, but
// only from a private, otherwise empty folder: the folder part of a profile path
// is replaced by that folder, so no run can reach devices, /proc or other files
// of the machine. The folder holds one real profile, "p.ini", which the seed
// corpus names. (The target does not change its working folder: libFuzzer keeps
// relative corpus paths.)
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/arguments.h"
#include "engine/naming.h"
#include "engine/run.h"
#include "settings/settings.h"

namespace {

std::string& PrivateFolder() {
  static std::string folder;
  return folder;
}

void RemovePrivateFolder() {
  std::remove((PrivateFolder() + "/p.ini").c_str());
  rmdir(PrivateFolder().c_str());
}

// Moves every profile path into the private folder, keeping what follows its
// last slash; a value the walk refuses is left as it is.
void ConfineProfilePaths(std::vector<std::string>& args) {
  for (size_t i = 0; i < args.size(); ++i) {
    if (ArgumentName(args, i) != "--PROFILE") continue;
    const std::string value = ArgumentValue(args, i);
    if (value.empty() || value.rfind("--", 0) == 0) continue;
    const size_t slash = value.rfind('/');
    const std::string name = slash == std::string::npos ? value : value.substr(slash + 1);
    std::string& a = args[i];
    a = a.substr(0, a.find('=') + 1) + PrivateFolder() + "/" + name;
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/velmora-fuzz-args-XXXXXX";
  if (!mkdtemp(pattern.data())) {
    std::perror("fuzz_args: private folder");
    std::abort();
  }
  PrivateFolder() = pattern;
  std::atexit(RemovePrivateFolder);
  if (FILE* f = std::fopen((pattern + "/p.ini").c_str(), "wb")) {
    std::fputs("[CLI]\r\n--jpg-quality = 70\r\n--width=50%\r\n--keep-aspect-ratio\r\n"
               "--filename-mask = \"%filename%_%width%.%ext%\"\r\n; comment\r\n[Other]\r\n--height=5\r\n",
               f);
    std::fclose(f);
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> args;
  const char* text = reinterpret_cast<const char*>(data);
  for (size_t start = 0; start <= size;) {
    size_t end = start;
    while (end < size && text[end] != '\0') ++end;
    if (end < size || end > start) args.emplace_back(text + start, end - start);
    start = end + 1;
  }
  ConfineProfilePaths(args);

  ConversionRun run;
  ResetEngine(run);
  ConversionSettings settings{};
  ResetSettings(settings, true);
  const ParsedArguments parsed = WalkArguments(args, run, settings);
  if (parsed.error.empty()) {
    run.inputPath = parsed.input;
    if (run.outputExtension.empty()) run.outputExtension = "jpg";
    (void)OutputFilePath(run, settings);
  }
  return 0;
}
