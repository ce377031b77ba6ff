// Letter-case helpers for names that are matched without regard to case.
#pragma once

#include <string>
#include <string_view>

// Upper-cases ASCII letters, and every letter when the text is valid UTF-8
// beyond ASCII; bytes of invalid UTF-8 stay as they are.
std::string UpperCase(std::string_view text);

// A form of the text in which names that differ only in letter case are
// equal: ASCII letters lower-cased, and full Unicode case folding when the
// text is valid UTF-8 beyond ASCII.
std::string FoldCase(std::string_view text);
