// The texts that the settings dialog's per-file commands hand to the
// system: the command line that opens a screen saver's own configuration,
// and a path in the wide form the shell's property sheet takes (WidePath,
// framework/TextUtil.h).
#pragma once

#include "framework/TextUtil.h"

#include <windows.h>

#include <string>

// The window handle as the screen-saver command line carries it: the low
// 32 bits as a signed decimal number (a handle with the top bit set is
// written as a negative number), as "%d" of the handle gives it.
std::string HandleAsDecimal(HWND window);

// The options that start a screen saver's configuration with owner as its
// parent: "/c:<handle>" (put after the quoted path by StartProcessByPath).
std::string ConfigureOptions(HWND owner);
