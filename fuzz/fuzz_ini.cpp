// Feeds arbitrary bytes to the INI reader and its lookups, and checks that the
// written form of whatever was read reads back to the same groups and keys.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "settings/ini.h"
#include "settings/readers.h"

namespace {

std::string WrittenForm(const IniDocument& doc) {
  std::string out = IniFileStart();
  for (const IniGroup& group : doc.groups) {
    AppendIniGroup(out, group.name);
    for (const IniKey& key : group.keys) AppendIniKey(out, key.name, key.value);
    AppendIniComment(out, "");
  }
  return out;
}

bool SameDocument(const IniDocument& a, const IniDocument& b) {
  if (a.groups.size() != b.groups.size()) return false;
  for (size_t g = 0; g < a.groups.size(); ++g) {
    const IniGroup& x = a.groups[g];
    const IniGroup& y = b.groups[g];
    if (x.name != y.name || x.folded != y.folded || x.keys.size() != y.keys.size()) return false;
    for (size_t k = 0; k < x.keys.size(); ++k)
      if (x.keys[k].name != y.keys[k].name || x.keys[k].value != y.keys[k].value) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const IniDocument doc = ParseIni(std::string_view(reinterpret_cast<const char*>(data), size));
  for (const char* name : {"General", "CLI", "Menu", "Preferences"}) {
    const IniGroup* group = FindIniGroup(doc, name);
    if (!group) continue;
    for (const IniKey& key : group->keys) {
      if (FindIniKey(group, key.name) == nullptr) std::abort();  // every key finds at least its first twin
      IniInteger(group, key.name, 0);
      IniDecimal(group, key.name, 0.0f);
      ReadIniInteger(key.value);
    }
  }
  for (const IniGroup& group : doc.groups)
    if (FindIniGroup(doc, group.name) == nullptr) std::abort();
  if (!SameDocument(doc, ParseIni(WrittenForm(doc)))) std::abort();
  return 0;
}
