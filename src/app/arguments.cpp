#include "app/arguments.h"

#include <cctype>

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
