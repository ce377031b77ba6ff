// The processing options: one table row per option, read by the command line and
// by profile files.
#pragma once

#include <string>

#include "settings/settings.h"

enum class OptionKind { Integer, Decimal, Keyword, Text, Flag };

// Value kind of an option (name upper-cased, with its leading "--"); false when
// the name is not a processing option.
bool IsProcessingOption(const std::string& upperName);
bool ProcessingOptionKind(const std::string& upperName, OptionKind& kind);

// Applies one option to the settings. Never fails on a value: every text reads as
// some number, code or text. Returns false (changing nothing) for an unknown name.
// Values from a profile follow the profile's text rules: a filename mask loses
// its surrounding double quotes, other texts are trimmed of blanks.
bool ApplyProcessingOption(ConversionSettings& s, const std::string& upperName, const std::string& value,
                           bool fromProfile = false);

// Number of options in the table.
int ProcessingOptionCount();
