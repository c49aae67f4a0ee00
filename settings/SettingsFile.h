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

// Suffixes of the per-file keys: the entry's full path followed directly by one.
constexpr const char* kOptionSuffix = "@option";
constexpr const char* kStartSuffix = "@start";
constexpr const char* kFinishSuffix = "@finish";
constexpr const char* kMouseSuffix = "@mouse";
constexpr const char* kChangeSuffix = "@change";
constexpr const char* kMacroSuffix = "@macro";

// The two-byte marks in front of each stored path: "○" (on) and "×" (off)
// in Shift-JIS.
constexpr const char* kMarkOn = "\x81\x9B";
constexpr const char* kMarkOff = "\x81\x7E";
constexpr size_t kMarkLength = 2;

// The largest switching interval in minutes that is stored.
constexpr int kMaxMinutes = 999;

// "List%d" of index.
std::string ListKey(int index);
// path followed by suffix.
std::string PerFileKey(const std::string& path, const char* suffix);

// What the configuration program tells the user when a write to the
// settings file at path failed: the file is named, and the user is asked to
// put the program in a folder they can write to.
std::string NotSavedMessage(const std::string& path);

}  // namespace settings
