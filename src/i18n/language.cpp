// Interim table with the console texts; the full table replaces it.
#include "i18n/language.h"

#include <map>
#include <utility>

void LoadLanguageTable(const std::string&) {}

std::string GetLanguageText(const std::string& group, const std::string& key) {
  static const std::map<std::pair<std::string, std::string>, std::string> texts = {
      {{"General", "Preparing"}, "Preparing..."},
      {{"General", "Importing"}, "Importing..."},
      {{"General", "Converting"}, "Converting..."},
      {{"Msg", "Import complete"}, "Import complete, new files added: %s1%"},
      {{"Msg", "Conversion complete"}, "Conversion complete"},
      {{"Msg", "Conversion is not complete"}, "Conversion stopped"},
      {{"Msg", "Empty input files"}, "No input file(s) found. Please, add valid file(s) and try again!"},
      {{"Msg", "Files converted"}, "Files converted: %s1% of %s2%"},
  };
  auto it = texts.find({group, key});
  return it == texts.end() ? "%NO_STRING_ERROR%" : it->second;
}
