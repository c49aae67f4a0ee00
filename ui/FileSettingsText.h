// Texts of the per-file settings dialogs that need no window: their caption,
// and the Flash entry's stored mouse macro turned into list rows and back.
#pragma once

#include <string>
#include <vector>

// The file name of path (after its last backslash) up to its last full stop,
// followed by "の設定": "C:\Tools\clock.exe" gives "clockの設定".
std::string FileSettingsCaption(const std::string& path);

// The row texts of the mouse-macro list. The action column holds
// kClickText, kReloadText or kUnknownActionText; x and y hold the number,
// followed by an ASCII "%" when it is a percentage, and are empty for a
// reload.
struct MacroRow {
    std::string time;
    std::string action;
    std::string x;
    std::string y;
};

extern const char* const kClickText;          // "クリック"
extern const char* const kReloadText;         // "リロード"
extern const char* const kUnknownActionText;  // "?"

// The rows of a stored macro: entries separated by spaces, fields by commas
// (time, action, x, x unit, y, y unit). Reading ends at the first entry
// without a comma. An action of 1 is a reload, 0 a click and any other value
// unknown; a unit of 1 is a percentage, any other a pixel count, the way the
// Flash player reads them. Fields that a hand-edited entry lacks read as 0.
std::vector<MacroRow> ReadMacroRows(const std::string& stored);

// The stored form of rows, in their order: "time,1" for a reload, otherwise
// "time,action,x,unit,y,unit" with the action 0 for a click and -1 for an
// unknown one; entries separated by single spaces, nothing trailing.
std::string WriteMacroRows(const std::vector<MacroRow>& rows);

// Where a row with the given time goes among rows whose time texts are
// given (in ascending order): after every row whose time is not greater.
size_t TimeSortedIndex(const std::vector<std::string>& times, int time);
