// One row of the saver list: a full path, switched on or off, and its kind,
// which the path's extension gives. Stored as one List value: a two-byte
// mark followed by the path.
#pragma once

#include <string>

enum class EntryKind { ScreenSaver, Program, Flash, Movie };

struct SaverEntry {
    std::string mark;  // the two mark bytes as stored or shown
    std::string path;

    bool IsOn() const;

    // A value that begins with "○" or "×" has that mark and the rest as its
    // path; any other value is switched on and is its path whole.
    static SaverEntry FromStoredValue(const std::string& value);
    std::string StoredValue() const { return mark + path; }
};

// The kind by the last four characters of the path, without regard to case:
// ".scr", ".exe", ".swf", anything else a movie.
EntryKind KindOfPath(const std::string& path);
