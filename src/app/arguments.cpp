#include "app/arguments.h"

#include <cctype>

#include "app/options.h"
#include "settings/profile.h"
#include "settings/readers.h"

std::string ArgumentName(const std::vector<std::string>& args, size_t i) {
  if (i >= args.size()) return {};
  const std::string arg = TrimBlanks(args[i]);
  std::string name;
  if (arg.rfind("--", 0) == 0)
    name = arg.substr(0, arg.find('='));
  else if (arg.rfind("-", 0) == 0)
    name = arg;
  else
    return {};
  // Every option name is ASCII, so ASCII upper-casing matches all of them and
  // leaves other bytes (even invalid UTF-8) alone.
  for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return name;
}

std::string ArgumentValue(const std::vector<std::string>& args, size_t i) {
  if (i >= args.size()) return {};
  const std::string arg = TrimBlanks(args[i]);
  const size_t eq = arg.find('=');
  if (arg.rfind("--", 0) == 0 && eq != std::string::npos) return arg.substr(eq + 1);
  return arg;
}

namespace {
bool IsCoreValueOption(const std::string& name) {
  return name == "-I" || name == "--INPUT" || name == "-O" || name == "--OUTPUT" || name == "-C" ||
         name == "--CONVERSION";
}

}  // namespace

ParsedArguments WalkArguments(const std::vector<std::string>& args, ConversionRun& run, ConversionSettings& s) {
  ParsedArguments parsed;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string name = ArgumentName(args, i);
    if (IsCoreValueOption(name)) {
      if (name == "-I" || name == "--INPUT") run.commandLine = true;
      const bool shortForm = name.size() == 2;
      if (shortForm) ++i;
      const std::string value = ArgumentValue(args, i);
      if (value.empty() || value[0] == '-') {
        parsed.error = "Incorrect number of parameters";
        break;
      }
      if (name == "-I" || name == "--INPUT") parsed.input = value, run.inputRoot = value;
      else if (name == "-O" || name == "--OUTPUT") run.outputFolder = value;
      else run.outputExtension = value;
      continue;
    }
    OptionKind kind;
    const bool isOption = ProcessingOptionKind(name, kind);
    if (isOption || name == "--PROFILE") {
      const bool takesValue = !isOption || kind != OptionKind::Flag;
      // A processing option takes its value only after "=", never from the next
      // argument; without "=" the value is the option itself and is refused.
      const std::string value = ArgumentValue(args, i);
      if (takesValue && (value.empty() || value.rfind("--", 0) == 0)) {
        parsed.error = "Incorrect number of parameters";
        break;
      }
      if (isOption) {
        ApplyProcessingOption(s, name, value);
      } else if (!LoadProfile(value, s)) {
        parsed.error = "Invalid profile file";
        break;
      }
      continue;
    }
    if (name == "-D" || name == "--DEBUG") run.runMode = "DEBUG";
    else if (name == "-Q" || name == "--QUIET") parsed.quiet = true;
    else if (name == "-P" || name == "--PAUSE") parsed.pause = true;
    // Anything else is ignored.
  }
  return parsed;
}
