#include "settings/config.h"

#include <cstring>
#include <span>
#include <string_view>
#include <vector>

#include "app/product.h"
#include "engine/formats.h"
#include "platform/platform.h"
#include "settings/ini.h"

namespace {

struct ReadFallback {
  const char* group;
  const char* key;
  const char* value;
};

// Where a missing key reads differently from the setting's default: a file
// without CFG counts as the oldest layout, and a file without a window position
// places the window at a fixed spot instead of centring it.
constexpr ReadFallback kReadFallbacks[] = {
    {"General", "CFG", "0"},
    {"Window", "X", "100"},
    {"Window", "Y", "100"},
};

bool IsIntegerType(SettingType type) {
  return type == SettingType::Int32 || type == SettingType::Int8 || type == SettingType::Date;
}

// The extension list whose formats own the per-format rows of a group.
const std::vector<std::string>* FormatListOf(std::string_view group) {
  if (group == "Input") return &InputFormatList();
  if (group == "Output") return &OutputFormatList();
  return nullptr;
}

// The rows of the table that share the group of `first`, from `first` on.
std::span<const SettingDef> GroupRows(std::span<const SettingDef> table, size_t first) {
  size_t end = first;
  while (end < table.size() && std::strcmp(table[end].group, table[first].group) == 0) ++end;
  return table.subspan(first, end - first);
}

std::string ValueText(const ConversionSettings& s, const SettingDef& d) {
  if (d.field == SettingField(&ConversionSettings::cfg)) return std::to_string(kConfigLayout);
  if (d.type == SettingType::Float) return IniDecimalText(s.*std::get<float ConversionSettings::*>(d.field));
  return FieldText(s, d.field);
}

void Upgrade(ConversionSettings& s, int32_t layout) {
  if (layout < 11 && s.filenameMask.find("%ext%") == std::string::npos) s.filenameMask += ".%ext%";
  if (layout < 14 && s.rawLoadAs != 0) s.rawLoadAs += 2;
  s.cfg = kConfigLayout;
}

}  // namespace

std::string ConfigFolder() {
  std::string folder = platform::UserConfigFolder();
  if (!platform::IsFolder(folder)) platform::CreateFolder(folder);
  for (const char* level : {kFamilyName, kShortName}) {
    folder += level;
    folder += '/';
    platform::CreateFolder(folder);
  }
  return folder;
}

std::string ConfigFilePath() { return ConfigFolder() + "config.ini"; }

void LoadConfiguration(ConversionSettings& s, const std::string& path) {
  ResetSettings(s, false);
  IniDocument doc;
  if (ReadIniFile(path, doc)) {
    for (const ReadFallback& f : kReadFallbacks)
      if (const SettingDef* d = FindSetting(f.group, f.key)) SetFieldText(s, d->field, f.value);
    const std::span<const SettingDef> table = SettingTable();
    for (size_t first = 0; first < table.size();) {
      const std::span<const SettingDef> rows = GroupRows(table, first);
      first += rows.size();
      // Every key of a group is read, also those of formats this program does not write.
      const IniGroup* group = FindIniGroup(doc, rows.front().group);
      for (const SettingDef& d : rows) {
        const IniKey* key = FindIniKey(group, d.key);
        if (!key) continue;
        if (IsIntegerType(d.type))
          SetFieldInteger(s, d.field, ReadIniInteger(key->value));
        else
          SetFieldText(s, d.field, key->value);  // texts as they are, the float as a decimal
      }
    }
  }
  Upgrade(s, s.cfg);  // an unreadable file leaves the current layout's defaults
}

void SaveConfiguration(const ConversionSettings& s, const std::string& path) {
  std::string out = IniFileStart();
  const std::span<const SettingDef> table = SettingTable();
  for (size_t first = 0; first < table.size();) {
    const std::span<const SettingDef> rows = GroupRows(table, first);
    first += rows.size();
    const char* group = rows.front().group;
    AppendIniGroup(out, group);
    const bool writeKeys = std::strcmp(group, "Window") != 0 || s.saveWindowPosition == 1;
    if (writeKeys) {
      for (const SettingDef& d : rows)
        if (!d.formatKey) AppendIniKey(out, d.key, ValueText(s, d));
      // Per-format keys follow in the order of the extension list, not of the table.
      if (const std::vector<std::string>* formats = FormatListOf(group))
        for (const std::string& format : *formats)
          for (const SettingDef& d : rows)
            if (d.formatKey && format == d.formatKey) AppendIniKey(out, d.key, ValueText(s, d));
    }
    AppendIniComment(out, "");
  }
  SaveIniFile(path, out);
}
