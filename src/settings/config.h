// config.ini: the graphical mode's settings between runs, read and written in
// the INI form, driven by the settings table.
#pragma once

#include <cstdint>
#include <string>

#include "settings/settings.h"

// The layout this program writes; older layouts are upgraded on loading.
inline constexpr int32_t kConfigLayout = 18;

// The per-user settings folder, ending in "/": $XDG_CONFIG_HOME (else
// ~/.config), then "Varnello/velmora/". Missing levels are created; a failure
// to create is not reported (loading then finds no file, saving fails).
std::string ConfigFolder();
// ConfigFolder() + "config.ini".
std::string ConfigFilePath();

// Fills `s` from the file at `path`. A file that cannot be read gives the
// graphical defaults; a missing group or key gives its fallback (the default,
// except CFG 0 and X, Y 100). Layouts before 11 get ".%ext%" appended to a
// Filename Mask without "%ext%"; layouts before 14 move a RAW Load As code
// other than 0 up by 2. Afterwards `s.cfg` is kConfigLayout. Reports nothing.
void LoadConfiguration(ConversionSettings& s, const std::string& path);

// Rewrites the file at `path` whole, in table order: the Window keys only when
// Save Window Position is 1, the per-format Input and Output keys only for the
// formats of the extension lists, CFG always as kConfigLayout. The old file is
// replaced atomically; if writing fails it stays as it was. Reports nothing.
void SaveConfiguration(const ConversionSettings& s, const std::string& path);
