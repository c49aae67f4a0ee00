#include "ui/Manual.h"

#include "framework/App.h"
#include "framework/Dialog.h"
#include "framework/Handles.h"
#include "framework/SystemLibrary.h"

#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cwchar>

namespace manual {

const char* const kContentsPage = "index.html";
const char* const kListPage = "list.html";
const char* const kProgramPage = "program.html";
const char* const kFlashPage = "flash.html";
const char* const kAboutPage = "about.html";

namespace {

const wchar_t kCannotWriteMessage[] =
    L"ヘルプを開けませんでした。\nマニュアルを書き出すフォルダーに書き込めません。\n";
const wchar_t kCannotOpenMessage[] =
    L"ヘルプを開けませんでした。\nブラウザーで次のファイルを開いてください。\n";

WideText Wide(const wchar_t* text) { return WideText(text, text + std::wcslen(text) + 1); }

// text followed by tail (ASCII when it is a narrow text).
template <typename Char>
WideText Joined(WideText text, const Char* tail) {
    text.pop_back();
    for (; *tail; ++tail) text.push_back(static_cast<wchar_t>(*tail));
    text.push_back(L'\0');
    return text;
}

BOOL CALLBACK AddPage(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR pages) {
    if (IS_INTRESOURCE(name)) return TRUE;
    HRSRC found = FindResourceW(module, name, type);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const char* bytes = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
    if (!bytes) return TRUE;
    // File names are ASCII; the resource compiler keeps them in capitals.
    Page page{std::string(), std::string(bytes, SizeofResource(module, found))};
    for (const wchar_t* c = name; *c; ++c) {
        page.name += static_cast<char>(*c >= L'A' && *c <= L'Z' ? *c - L'A' + L'a' : *c);
    }
    reinterpret_cast<std::vector<Page>*>(pages)->push_back(page);
    return TRUE;
}

// Makes each folder along the path that is missing; true when the whole
// path is a folder then.
bool MakeFolders(WideText folder) {
    for (size_t i = 3; i < folder.size(); ++i) {
        if (folder[i] != L'\\' && folder[i] != L'\0') continue;
        const wchar_t kept = folder[i];
        folder[i] = L'\0';
        CreateDirectoryW(folder.data(), nullptr);
        folder[i] = kept;
    }
    DWORD attributes = GetFileAttributesW(folder.data());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool HoldsBytes(const WideText& path, const std::string& bytes) {
    HANDLE opened = CreateFileW(path.data(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    if (opened == INVALID_HANDLE_VALUE) return false;
    UniqueHandle file(opened);
    if (GetFileSize(file.get(), nullptr) != bytes.size()) return false;
    std::string held(bytes.size(), '\0');
    DWORD read = 0;
    return ReadFile(file.get(), &held[0], static_cast<DWORD>(held.size()), &read, nullptr) &&
           read == held.size() && held == bytes;
}

bool WriteBytes(const WideText& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.data(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool whole = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                 written == bytes.size();
    whole = CloseHandle(file) && whole;
    // No half page is left for a browser to show.
    if (!whole) DeleteFileW(path.data());
    return whole;
}

WideText ManualFolderIn(const wchar_t* base) {
    const size_t length = std::wcslen(base);
    return Joined(Wide(base), length > 0 && base[length - 1] == L'\\' ? L"Tolvarin\\Manual"
                                                                     : L"\\Tolvarin\\Manual");
}

// Hands the file to the system, which opens it with the program that the
// user's system opens such files with. No message of the system's own: the
// caller says what went wrong.
bool OpenWithSystem(HWND owner, const WideText& path) {
    static const auto execute = SystemFunction<decltype(&ShellExecuteExW)>("shell32.dll", "ShellExecuteExW");
    static const auto startCom = SystemFunction<decltype(&CoInitializeEx)>("ole32.dll", "CoInitializeEx");
    static const auto endCom = SystemFunction<decltype(&CoUninitialize)>("ole32.dll", "CoUninitialize");
    if (!execute) return false;
    // Some browsers are started through a shell extension, which needs COM
    // on the calling thread; the call waits until the start is done.
    bool com = startCom && endCom &&
               SUCCEEDED(startCom(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    info.hwnd = owner;
    info.lpFile = path.data();
    info.nShow = SW_SHOWNORMAL;
    bool opened = execute(&info) != FALSE;
    if (com) endCom();
    return opened;
}

}  // namespace

std::vector<Page> ReadPages(HMODULE module) {
    std::vector<Page> pages;
    EnumResourceNamesW(module, MAKEINTRESOURCEW(23), &AddPage, reinterpret_cast<LONG_PTR>(&pages));
    return pages;
}

bool WritePages(const WideText& folder, const std::vector<Page>& pages) {
    if (!MakeFolders(folder)) return false;
    for (const Page& page : pages) {
        const WideText path = Joined(Joined(folder, "\\"), page.name.c_str());
        if (!HoldsBytes(path, page.bytes) && !WriteBytes(path, page.bytes)) return false;
    }
    return true;
}

std::vector<WideText> Folders() {
    static const auto folderPath =
        SystemFunction<decltype(&SHGetFolderPathW)>("shell32.dll", "SHGetFolderPathW");
    std::vector<WideText> folders;
    wchar_t path[MAX_PATH + 1] = {};
    if (folderPath && SUCCEEDED(folderPath(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr,
                                           SHGFP_TYPE_CURRENT, path))) {
        folders.push_back(ManualFolderIn(path));
    }
    DWORD length = GetTempPathW(MAX_PATH, path);
    if (length > 0 && length < MAX_PATH) folders.push_back(ManualFolderIn(path));
    return folders;
}

void Show(HWND owner, const char* page) {
    App* app = App::Instance();
    const std::vector<Page> pages = ReadPages(app ? app->Handle() : GetModuleHandleW(nullptr));
    const std::vector<WideText> folders = Folders();
    for (const WideText& folder : folders) {
        if (!WritePages(folder, pages)) continue;
        const WideText path = Joined(Joined(folder, "\\"), page);
        if (!OpenWithSystem(owner, path)) ShowErrorMessage(owner, Joined(Wide(kCannotOpenMessage), path.data()).data());
        return;
    }
    const WideText none = Wide(L"");
    ShowErrorMessage(owner, Joined(Wide(kCannotWriteMessage), (folders.empty() ? none : folders[0]).data()).data());
}

}  // namespace manual
