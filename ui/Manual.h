// The user's manual: HTML pages (one per topic, UTF-8) and their style
// sheet, carried in the program's resources as type RT_HTML under their file
// names. To show a page, the manual is written out to a folder of the
// user's own, where a page is written again whenever its file there differs
// from the program's (another version, a damaged file), and the page's file
// is handed to the system, which opens it in the default browser.
//
// One page per topic, so that no address needs a "#part": browsers often
// drop that part of an address that names a file.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace manual {

// The pages that the help commands open.
extern const char* const kContentsPage;  // 目次
extern const char* const kListPage;      // the settings dialog
extern const char* const kProgramPage;   // the program settings dialog
extern const char* const kFlashPage;     // the Flash settings dialog
extern const char* const kAboutPage;     // the about box

struct Page {
    std::string name;  // the file name (ASCII), in lower case
    std::string bytes;
};

// A path as the wide calls take it, NUL-terminated. (Not std::wstring: the
// runtime's wide strings would add more to the program than the manual.)
using WideText = std::vector<wchar_t>;

// Every page in module's resources.
std::vector<Page> ReadPages(HMODULE module);

// Writes each page into folder (made when missing) whose file there is
// missing or holds other bytes. False when one could not be written.
bool WritePages(const WideText& folder, const std::vector<Page>& pages);

// Where the manual is written, first choice first: "Tolvarin\Manual" in the
// user's local application data, then in the temporary folder.
std::vector<WideText> Folders();

// Writes the manual out and hands page to the system; tells the user (owner
// owning the message) when it could not be written or opened.
void Show(HWND owner, const char* page);

}  // namespace manual
