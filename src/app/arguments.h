// Names and values of command-line arguments.
#pragma once

#include <string>
#include <vector>

// Upper-cased option name of argument i: the part before "=" of a "--" argument,
// a whole "-" argument, or empty; empty past the end.
std::string ArgumentName(const std::vector<std::string>& args, size_t i);
// The text after the first "=" of a "--" argument, else the whole trimmed argument.
std::string ArgumentValue(const std::vector<std::string>& args, size_t i);
