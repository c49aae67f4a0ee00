#include "ui/FileSettingsText.h"

#include "framework/TextUtil.h"
#include "players/SplitString.h"

#include <algorithm>

const char* const kClickText = "クリック";
const char* const kReloadText = "リロード";
const char* const kUnknownActionText = "?";

namespace {

constexpr int kMaxFields = 6;

bool EndsWithPercent(const std::string& text) { return !text.empty() && text.back() == '%'; }

// '%' is ASCII and never the trail byte of a double-byte character, so a
// plain byte search is safe.
std::string WithoutPercent(std::string text) {
    text.erase(std::remove(text.begin(), text.end(), '%'), text.end());
    return text;
}

// One coordinate column: the stored number as written, marked with "%" when
// its unit field reads as 1.
std::string CoordinateText(const char* value, const char* unit) {
    std::string text = WithoutPercent(value);
    if (ParseLeadingInt(unit) == 1) text += "%";
    return text;
}

}  // namespace

std::string FileSettingsCaption(const std::string& path) {
    size_t slash = FindLastChar(path, '\\');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    size_t dot = FindLastChar(name, '.');
    if (dot != std::string::npos) name.erase(dot);
    return name + "の設定";
}

std::vector<MacroRow> ReadMacroRows(const std::string& stored) {
    std::vector<MacroRow> rows;
    std::vector<char> buffer(stored.begin(), stored.end());
    buffer.push_back('\0');

    int spaces = static_cast<int>(std::count(stored.begin(), stored.end(), ' '));
    std::vector<char*> entries(static_cast<size_t>(spaces) + 1, nullptr);
    SplitString(buffer.data(), " ", entries.data(), spaces + 1);

    for (char* entry : entries) {
        char* fields[kMaxFields] = {};
        int cut = SplitString(entry, ",", fields, kMaxFields);
        if (cut == 0) break;  // no comma: this entry and all later ones are ignored
        int recorded = std::min(cut + 1, kMaxFields);
        static char zero[] = "0";
        for (int i = recorded; i < kMaxFields; ++i) fields[i] = zero;

        MacroRow row;
        row.time = std::to_string(ParseLeadingInt(fields[0]));
        int action = ParseLeadingInt(fields[1]);
        if (action == 1) {
            row.action = kReloadText;
        } else {
            row.action = action == 0 ? kClickText : kUnknownActionText;
            row.x = CoordinateText(fields[2], fields[3]);
            row.y = CoordinateText(fields[4], fields[5]);
        }
        rows.push_back(row);
    }
    return rows;
}

std::string WriteMacroRows(const std::vector<MacroRow>& rows) {
    std::string value;
    for (const MacroRow& row : rows) {
        value += row.time;
        value += ",";
        if (row.action == kReloadText) {
            value += "1";
        } else {
            value += row.action == kClickText ? "0" : "-1";
            value += ",";
            value += WithoutPercent(row.x) + (EndsWithPercent(row.x) ? ",1," : ",0,");
            value += WithoutPercent(row.y) + (EndsWithPercent(row.y) ? ",1" : ",0");
        }
        value += " ";
    }
    while (!value.empty() && (value.back() == ' ' || value.back() == '\t' ||
                              value.back() == '\r' || value.back() == '\n')) {
        value.pop_back();
    }
    return value;
}

size_t TimeSortedIndex(const std::vector<std::string>& times, int time) {
    size_t index = 0;
    while (index < times.size() && ParseLeadingInt(times[index].c_str()) <= time) ++index;
    return index;
}
