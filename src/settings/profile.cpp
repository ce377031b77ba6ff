#include "settings/profile.h"

#include "app/options.h"
#include "settings/ini.h"

bool LoadProfile(const std::string& path, ConversionSettings& s) {
  IniDocument doc;
  if (!ReadIniFile(path, doc)) return false;
  const IniGroup* group = FindIniGroup(doc, "CLI");
  if (!group) return true;
  for (const IniKey& key : group->keys) {
    // Upper-cased as the command line upper-cases option names, so that both
    // accept the same spellings.
    std::string name = key.name;
    for (char& c : name)
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    ApplyProcessingOption(s, name, key.value, true);
  }
  return true;
}
