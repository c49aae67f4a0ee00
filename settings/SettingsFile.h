// The settings file tolvarin.ini: its sections and keys, and the stored form
// of the saver list. The product reads and writes them through
// SaverSettings (settings/SaverSettings.h), which declares the defaults.
#pragma once

#include <string>

namespace settings {

constexpr const char* kFileName = "tolvarin.ini";

// Section names compare without regard to case: "List" and "LIST" are one.
constexpr const char* kListSection = "LIST";
constexpr const char* kListSectionAsRead = "List";
constexpr const char* kOtherSection = "OTHER";
constexpr const char* kTimerSection = "TIMER";
constexpr const char* kExeConfigSection = "EXE_CONFIG";
constexpr const char* kSwfConfigSection = "SWF_CONFIG";
constexpr const char* kMovieConfigSection = "MOVIE_CONFIG";

constexpr const char* kEntryKey = "entry";
constexpr const char* kDirKey = "Dir";
constexpr const char* kOrderKey = "Order";
constexpr const char* kOnKey = "ON";
constexpr const char* kExtensionKey = "Extension";
constexpr const char* kSaverNameKey = "SaverName";
constexpr const char* kLastKey = "Last";
constexpr const char* kPassLockKey = "PassLock";
constexpr const char* kTimerOnKey = "ON/OFF";
constexpr const char* kTimeKey = "Time";
// OTHER AllMonitors: 1 gives every monitor a show of its own.
constexpr const char* kAllMonitorsKey = "AllMonitors";

// Suffixes of the per-file keys: the entry's full path followed directly by one.
constexpr const char* kOptionSuffix = "@option";
constexpr const char* kStartSuffix = "@start";
constexpr const char* kFinishSuffix = "@finish";
constexpr const char* kMouseSuffix = "@mouse";
constexpr const char* kChangeSuffix = "@change";
constexpr const char* kMacroSuffix = "@macro";
// A long movie's place to start from next time, in milliseconds.
constexpr const char* kResumeSuffix = "@resume";

// The two-byte marks in front of each stored path: "○" (on) and "×" (off)
// in Shift-JIS.
constexpr const char* kMarkOn = "\x81\x9B";
constexpr const char* kMarkOff = "\x81\x7E";
constexpr size_t kMarkLength = 2;

// The largest switching interval in minutes that is stored.
constexpr int kMaxMinutes = 999;

// The stored form of a text value. The system's profile reading drops the
// blanks at either end of a value and one pair of quotation marks (double or
// single) around the whole of it: a text that begins and ends with a
// quotation mark, or that begins or ends with a blank or another control
// character, is stored in one more pair of double quotation marks, which that
// reading takes off again. Every other text is stored as it is, so that files
// written before read as they always did.
std::string StoredText(const std::string& text);
// A line break (or a NUL) would end the stored value early: such a text
// cannot be stored.
bool CanStoreText(const std::string& text);

// "List%d" of index.
std::string ListKey(int index);
// path followed by suffix.
std::string PerFileKey(const std::string& path, const char* suffix);

// What the configuration program tells the user when a write to the
// settings file at path failed: the file is named, and the user is asked to
// put the program in a folder they can write to.
std::string NotSavedMessage(const std::string& path);

}  // namespace settings
