// Typed reads and writes of the settings file: the saver list, the
// switching and view options, the entry shown last, the password flag kept
// for the session, and the per-file values of programs, Flash movies and
// videos.
// Every default is declared here once, named for the reader it belongs to.
// Each call reads or writes the file at that moment; writes return whether
// they reached it. Texts are written in their stored form (StoredText in
// settings/SettingsFile.h), so that each reads back as it was written; one
// that cannot be stored (CanStoreText) is refused and writes nothing.
#pragma once

#include "settings/Profile.h"
#include "settings/SaverEntry.h"

#include <string>
#include <vector>

namespace settings {

// TIMER Time when the file has none. A session switches every 5 minutes;
// the settings dialog offers 10 to a user who has never chosen. They differ
// on purpose: the dialog always writes Time, so the session's default only
// serves a file written by hand, where a short interval shows the switching
// soonest, while the dialog proposes the calmer interval to a new list.
constexpr int kSessionMinutesDefault = 5;
constexpr int kDialogMinutesDefault = 10;
// OTHER Order: random.
constexpr int kOrderDefault = 0;
// TIMER ON/OFF: no switching.
constexpr int kTimerOnDefault = 0;
// OTHER Extension and SaverName: rows show extensions and savers' own names.
constexpr int kShowExtensionDefault = 1;
constexpr int kShowSaverNameDefault = 1;
// OTHER AllMonitors: the other monitors covered in black.
constexpr int kAllMonitorsDefault = 0;

}  // namespace settings

// A program's own values; a program never set up has empty texts and 0s.
struct ProgramValues {
    std::string option;
    std::string startMacro;
    std::string finishMacro;
    int mouse = 0;   // 1: the program takes the mouse for itself
    int change = 0;  // 1: the session switches away from it on time
};

// What the settings dialog saves as a whole. The int fields are written as
// they are (the dialog's controls exchange ints).
struct DialogState {
    std::vector<SaverEntry> entries;
    std::string dir;
    int order = settings::kOrderDefault;
    int showExtension = settings::kShowExtensionDefault;
    int showSaverName = settings::kShowSaverNameDefault;
    int timerOn = settings::kTimerOnDefault;
    int minutes = settings::kDialogMinutesDefault;
    int allMonitors = settings::kAllMonitorsDefault;
};

class SaverSettings {
public:
    explicit SaverSettings(const Profile& profile) : profile(profile) {}

    // --- The list -------------------------------------------------------
    // LIST entry plus one: the number of stored values (0 without a list).
    int StoredCount() const;
    // List<index> as stored, empty when missing.
    std::string ListValue(int index) const;
    // The StoredCount values in order, each read as an entry.
    std::vector<SaverEntry> ReadList() const;
    // The number of switched-on entries the session counts on: OTHER ON,
    // or every stored value when the key is missing.
    int SessionOnCount() const;

    // --- Options ----------------------------------------------------------
    int Order() const;
    bool TimerOn() const;
    int SessionMinutes() const;
    int DialogMinutes() const;
    int DialogTimerOn() const;
    int ShowExtension() const;
    int ShowSaverName() const;
    // Whether every monitor gets a show of its own.
    int AllMonitors() const;
    // The add dialog's folder last used; empty when none.
    std::string Dir() const;
    // The path of the entry shown last by a session.
    std::string Last() const;
    bool WriteLast(const std::string& path) const;
    // OTHER PassLock: the password flag that a session held back.
    bool PassLock() const;
    bool WritePassLock(bool on) const;

    // Writes the dialog's whole state: LIST entry, the values List0
    // upwards, the removal of values a shorter list left behind, then Dir,
    // Order, ON (the entries marked on), Extension, SaverName, ON/OFF, Time
    // (at most kMaxMinutes) and AllMonitors. Every write is tried; false when any failed.
    bool WriteDialogState(const DialogState& state) const;

    // --- Per-file values --------------------------------------------------
    ProgramValues ReadProgram(const std::string& path) const;
    // Writes @option, @start, @finish, @mouse, @change in that order.
    bool WriteProgram(const std::string& path, const ProgramValues& values) const;
    // The session's reads of one value each.
    bool ProgramTakesMouse(const std::string& path) const;
    bool ProgramSwitchesOnTime(const std::string& path) const;
    std::string ProgramOption(const std::string& path) const;
    std::string ProgramMacro(const std::string& path, const char* suffix) const;
    // A Flash movie's macro text (@macro), empty when missing.
    std::string FlashMacro(const std::string& path) const;
    bool WriteFlashMacro(const std::string& path, const std::string& text) const;
    // Where a session starts the video path next time (@resume), in
    // milliseconds from its beginning; 0 when none is noted.
    int MovieResume(const std::string& path) const;
    // Notes where it starts next time; 0 removes the note.
    bool WriteMovieResume(const std::string& path, int milliseconds) const;
    // Removes the values kept for path: a program's five, a Flash movie's
    // macro, a video's place to start from; screen savers keep none. Every
    // removal is tried.
    bool ForgetFile(const std::string& path) const;

private:
    const Profile& profile;
};

// The settings of the application object of the moment.
const SaverSettings& AppSettings();
