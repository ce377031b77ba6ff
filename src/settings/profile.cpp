// Interim: profiles are read once the INI reader exists.
#include "settings/profile.h"

bool LoadProfile(const std::string&, ConversionSettings&) { return false; }
