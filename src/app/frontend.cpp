#include "app/frontend.h"

#include <FreeImage.h>

#include <string>
#include <vector>

#include "app/arguments.h"
#include "app/messages.h"
#include "app/product.h"
#include "engine/cli_run.h"
#include "engine/formats.h"
#include "engine/run.h"
#include "i18n/language.h"
#include "platform/platform.h"
#include "settings/settings.h"

namespace {

enum ExitCode { kExitDone = 0, kExitRefused = 1, kExitArguments = 2, kExitLocked = 3 };

// clang-format off
const char* const kHelpLines[] = {
  " ",
  "Usage: %s1% -i <filename> [options]",
  " ",
  "  %s1% -i example.%s2%",
  "  %s1% -i c:\\tmp\\example.%s2%",
  "  %s1% -i c:\\tmp\\example.%s2% -o d:\\converted",
  "  %s1% -i c:\\tmp\\example.%s2% -o d:\\converted --jpg-quality=95",
  " ",
  "Options:",
  " ",
  "  -h, -?, --help            Display this help and exit",
  "  -i FILE, --input=FILE     Set input file",
  "  -o PATH, --output=PATH    Set output folder",
  "  -c STR, --conversion=STR  Set output extension, STR = (jpg | bmp | ...)",
  " ",
  "Advanced options:",
  " ",
  "  --width=NUM               Set output image width",
  "  --height=NUM              Set output image height",
  "  --filename-mask=STR       Define output filename format",
  "  --flip-horizontal         Flip output image horizontally",
  "  --flip-vertical           Flip output image vertically",
  "  --brightness=NUM          Set output image brightness, NUM = -100..100",
  "  --contrast=NUM            Set output image contrast, NUM = -100..100",
  "  --gamma=NUM               Set output image gamma, NUM = 0.01..9.99",
  "  --invert                  Invert output image",
  "  --greyscale               Greyscale output image",
  "  --profile=FILE            Set configuration file with required settings",
  "    ...                     Refer documentation for all available options",
  " ",
  "Other options:",
  " ",
  "  -q, --quiet               Don't print status messages to stdout",
  "  -d, --debug               Print debug information to stdout",
  "  -p, --pause               Pause at exit",
  "  -v, --version             Display version information and exit",
};
// clang-format on

std::string ProgramName(const std::string& path) {
  const size_t slash = path.rfind('/');
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.erase(dot);
  return name.empty() ? std::string(kShortName) : name;
}

void PrintHelp(const std::string& argv0) {
  const std::string name = ProgramName(argv0);
  const auto& extensions = InputFormatList();
  for (const char* line : kHelpLines) {
    const std::string& ext = extensions[static_cast<size_t>(platform::RandomInt(0, static_cast<int>(extensions.size()) - 1))];
    platform::WriteLine(FormatMessageText(line, name, ext));
  }
}

void PrintBanner() {
  std::string notice = kMakerNotice;
  const std::string copyright = "\xC2\xA9";
  for (size_t at; (at = notice.find(copyright)) != std::string::npos;) notice.replace(at, copyright.size(), "(c)");
  platform::WriteLine(TitleText());
  platform::WriteLine(notice);
  platform::WriteLine(MakerSite());
  platform::WriteLine(" ");
}

int GraphicalMode() {
  platform::WriteErrorLine("Error: this build of " + std::string(kShortName) +
                           " has no desktop window; give an input file with -i (see --help)");
  return kExitRefused;
}

}  // namespace

int RunProgram(int argc, char** argv) {
  FreeImage_Initialise(FALSE);
  BuildAcceptedExtensions();
  platform::InstanceLock lock(TitleText());
  if (!lock.held()) {
    platform::WriteErrorLine("Error: another instance is running");
    return kExitLocked;
  }

  std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  if (args.empty()) return GraphicalMode();

  ConversionRun& run = GlobalRun();
  ConversionSettings& settings = GlobalSettings();
  ResetEngine(run);
  ResetSettings(settings, true);
  LoadLanguageTable("");

  const std::string first = ArgumentName(args, 0);
  if (first == "-U" || first == "-T") return GraphicalMode();
  if (first == "-V" || first == "--VERSION") {
    platform::SetConsoleTitle(TitleText());
    platform::WriteLine(VersionText(kVersionNumber));
    return kExitDone;
  }
  if (first == "-H" || first == "-?" || first == "--HELP") {
    platform::SetConsoleTitle(TitleText());
    PrintHelp(argc > 0 ? argv[0] : kShortName);
    return kExitDone;
  }

  const ParsedArguments parsed = WalkArguments(args, run, settings);
  if (!parsed.error.empty()) {
    platform::SetConsoleTitle(TitleText());
    platform::WriteLine("Error: " + parsed.error);
    if (parsed.pause) platform::WaitForKey();
    return kExitArguments;
  }
  if (!run.commandLine) return GraphicalMode();

  platform::SetConsoleTitle(TitleText());
  if (!parsed.quiet) PrintBanner();
  const bool converted = RunCommandLineConversion(run, settings, parsed.input, parsed.quiet);
  if (parsed.pause) {
    platform::WriteLine("Press any key to exit.");
    platform::WaitForKey();
  }
  return converted ? kExitDone : kExitRefused;
}
