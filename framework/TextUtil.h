// Small text operations on ANSI byte strings in the system code page, the
// way the rest of the program needs them: multibyte-aware searches (a
// Shift-JIS trail byte may equal '\\' or '.'), ASCII-only case folding, and
// the runtime's reading of leading decimal numbers.
#pragma once

#include <string>
#include <vector>

// atoi's reading: leading blanks skipped, an optional sign, digits up to the
// first other character; no digits give 0. Overflow wraps like 32-bit
// arithmetic instead of being undefined.
int ParseLeadingInt(const char* text);

// Position of the last byte c that starts a character (never the trail byte
// of a double-byte character), or npos.
size_t FindLastChar(const std::string& text, char c);

// Upper-cases ASCII letters a to z only.
std::string AsciiUpper(std::string text);

// Byte-wise equality with ASCII letters folded.
bool EqualsNoCase(const std::string& a, const std::string& b);

// Whether the last characters of text equal suffix, ASCII letters folded.
// A text shorter than the suffix is compared whole (so it never matches).
bool EndsWithNoCase(const std::string& text, const char* suffix);

// path (system code page) as a NUL-terminated UTF-16 text, sized from the
// conversion's own count so that no path is cut; empty when the path
// cannot be converted.
std::vector<wchar_t> WidePath(const std::string& path);
