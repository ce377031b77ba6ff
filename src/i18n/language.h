// The table of interface texts: built-in English pairs, optionally overridden by
// a language file, looked up by group and key.
#pragma once

#include <span>
#include <string>

// Builds the table from the built-in pairs, discarding any table built before.
// When `languageFile` is not empty and reads as an INI file, its values replace
// the texts of entries it names (section = group, key = entry, any letter
// case); it can never add groups or keys. A missing or unreadable file leaves
// the built-in texts in force without a message.
void LoadLanguageTable(const std::string& languageFile);

// The text of `key` in `group`, both matched without regard to letter case, or
// "%NO_STRING_ERROR%" when either does not exist (also before any table was
// built). Main thread only: consecutive lookups in one group reuse the group
// found last.
std::string GetLanguageText(const std::string& group, const std::string& key);

// The text shown in place of a missing group or key.
inline constexpr const char* kNoStringError = "%NO_STRING_ERROR%";

// One pair of the built-in list: a key "_GROUP_" opens the group named by the
// text, the key "_END_" ends the list, every other pair is an entry of the group
// opened last.
struct LanguagePair {
  const char* key;
  const char* text;
};
std::span<const LanguagePair> BuiltInLanguagePairs();
