// Interface texts by group and key.
#pragma once

#include <string>

void LoadLanguageTable(const std::string& languageFile);
std::string GetLanguageText(const std::string& group, const std::string& key);
