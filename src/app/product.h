// Product constants shared by the front ends and the engine.
#pragma once

#include <string>

inline constexpr const char* kProductName = "Varnello TGA to JPG";
inline constexpr int kVersionNumber = 280;
inline constexpr const char* kShortName = "velmora";
inline constexpr const char* kFamilyName = "Varnello";  // first word of the product name
inline constexpr const char* kMakerNotice = "\xC2\xA9 2008-2026 Varnello Software. All rights reserved.";
// The maker's web site; VELMORA_SITE overrides it for tests and mirrors.
inline constexpr const char* kDefaultSite = "http://www.varnello.example";

// "2.8" for 280, "2.8.1" for 281, "3.0" for 300.
std::string VersionText(int number);
// The product name, one blank and the version text.
std::string TitleText();
std::string MakerSite();
