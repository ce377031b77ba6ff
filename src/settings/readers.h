// Readers of the number texts that options, profiles and the configuration use.
#pragma once

#include <cstdint>
#include <string>

// Option numbers: blanks and tabs, an optional sign, then "$" hexadecimal, "%"
// binary or decimal digits up to the first that does not fit; no digits give 0.
// Computed in 64 bits (wrapping); callers keep the bits their field holds.
int64_t ReadInteger(const std::string& text);

// Decimal numbers with "." as the point; "+Infinity", "-Infinity" and "NaN" in any
// case; otherwise the longest readable prefix; no number gives 0.
float ReadDecimal(const std::string& text);

// Trims blanks (and tabs where asked) from both ends.
std::string TrimBlanks(const std::string& text);
std::string TrimBlanksAndTabs(const std::string& text);
