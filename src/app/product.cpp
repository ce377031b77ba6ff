#include "app/product.h"

#include <cstdlib>

std::string VersionText(int number) {
  std::string t = std::to_string(number);
  if (t.size() >= 2) t.insert(1, ".");
  if (t.size() >= 4) t.insert(3, ".");
  if (!t.empty() && t.back() == '0') t = t.substr(0, 3);
  return t;
}

std::string TitleText() { return std::string(kProductName) + " " + VersionText(kVersionNumber); }

std::string MakerSite() {
  const char* site = std::getenv("VELMORA_SITE");
  return site && *site ? site : kDefaultSite;
}
