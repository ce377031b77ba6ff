// Filling the "%s1%".."%s4%" placeholders of language texts.
#pragma once

#include <string>

// Replaces each placeholder (any letter case) whose argument is not empty, in
// the order 1 to 4, each step working on the result of the one before.
std::string FormatMessageText(const std::string& text, const std::string& s1 = {}, const std::string& s2 = {},
                              const std::string& s3 = {}, const std::string& s4 = {});
