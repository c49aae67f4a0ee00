// The rules of the settings dialog's saver list that need no window: how a
// row names its entry, which files may enter the list, and how the open-file
// dialog's result reads as full paths.
#pragma once

#include <string>
#include <vector>

// The file-name part of path (after its last "\", the whole path when it has
// none); without its last "." and what follows when showExtension is false
// (a name without any "." then becomes empty). Both searches are
// multibyte-aware: a Shift-JIS trail byte 0x5C is never taken for a "\".
std::string FileNamePart(const std::string& path, bool showExtension);

// String 1 of a screen saver file, its own name, or empty when the file
// cannot be read or has none. The file is opened as data only: none of its
// code runs, and a saver built for another processor reads as well.
std::string ReadSaverName(const std::string& path);

// The name a row shows for path: the saver's own name when showSaverName is
// set, the path ends in "scr" and the file carries a name; otherwise
// FileNamePart.
std::string DisplayNameOf(const std::string& path, bool showSaverName, bool showExtension);

// Whether path ends, without regard to case, in one of the extensions the
// players take: ".scr", ".exe", ".swf", or a video's (kVideoExtensions).
bool IsListableFile(const std::string& path);
// The videos' extensions, in the order the add dialog's filter names them.
extern const char* const kVideoExtensions[8];
// The add dialog's filter, its parts separated by "|" and ended by "||":
// screen savers, programs, Flash movies, videos.
std::string AddDialogFilter();
// Whether path is the changer's own installed saver file: it ends exactly
// (with case) in "\tolvarin.scr".
bool IsOwnSaverFile(const std::string& path);

// The full paths in an open-file dialog's result buffer, in the order the
// dialog gave them: either one full path, or a folder followed by file
// names, each ended by a NUL, the whole ended by an empty text.
std::vector<std::string> ChosenPaths(const char* buffer, size_t size);

// Whether two paths name the same entry: equal with the letters A to Z
// folded, where a letter is a character of one byte (the trail byte of a
// Shift-JIS character, which may equal a letter's byte, is compared as it is).
bool SamePath(const std::string& a, const std::string& b);

// The folder part of path: up to, not including, its last "\" (multibyte-
// aware); the whole path when it has none.
std::string FolderOf(const std::string& path);
