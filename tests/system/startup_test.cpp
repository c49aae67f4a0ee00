// Start-up of the real tolvarin.scr, observed from outside: the role each
// command line gives, one process per role, the settings file beside the
// executable, the password flag through a process's life (a log-off, and a
// settings file that cannot be written, included), the /p preview
// pane, what the built files carry for the system (manifest, icon sizes),
// and the program of the release archive.
// A session asks the system's password check, never one placed beside the
// program (Wine is told to prefer such a native file, as Windows does; a
// decoy that is loaded logs "decoy"). A session on its cover and the preview
// pane load none of the libraries that only other roles need; the settings
// dialog takes the common controls from the side-by-side store, as the
// manifest binds them.
#include "res/resource.h"
#include "tests/support/TestSupport.h"
#include "tolvarin_version.h"

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <set>
#include <string>
#include <vector>

namespace {

using test::ProductProcess;

bool IsSessionWindow(HWND w) { return test::TextOf(w) == TOLVARIN_NAME && test::ClassNameOf(w) != "#32770"; }
bool IsSettingsDialog(HWND w) { return test::ClassNameOf(w) == "#32770" && test::TextOf(w) == TOLVARIN_NAME; }
// Waits handling our messages: a settings dialog may own our window.
bool Ends(const ProductProcess& p) { return test::WaitUntil([&] { return !p.Running(); }, 10000, 20, true); }
// The flag as the running processes should have it, and PassLock beside one.
void ExpectFlag(DWORD flag, const ProductProcess& p, const char* passLock) {
    EXPECT_EQ(test::GetUsePasswordFlag(), flag);
    EXPECT_EQ(p.ReadIni("OTHER", "PassLock"), passLock);
}
// A second process of a role ends at once and leaves the flag and its own
// left-over PassLock as it found them.
void ExpectTakenRole(const char* arguments) {
    ProductProcess second;
    second.WriteIni("[OTHER]\r\nPassLock=1\r\n");
    ASSERT_TRUE(second.Start(arguments));
    EXPECT_TRUE(Ends(second)) << arguments;
    ExpectFlag(0, second, "1");
}

// Of the libraries that the roles need, those that a process has loaded
// (user32, which every role needs, shows that its list was read); *controls
// gets the path of its common controls.
using Libraries = std::set<std::string>;
Libraries RoleLibraries(DWORD processId, std::string* controls = nullptr) {
    Libraries found;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId);
    MODULEENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Module32First(snapshot, &entry); more; more = Module32Next(snapshot, &entry)) {
        const std::string name = CharLowerA(entry.szModule);
        if (controls && name == "comctl32.dll") *controls = CharLowerA(entry.szExePath);
        for (const char* library : {"user32.dll", "shell32.dll", "comdlg32.dll", "ole32.dll", "oleaut32.dll", "comctl32.dll"})
            if (name == library) found.insert(name);
    }
    CloseHandle(snapshot);
    return found;
}

// One copy of the program, under a name whose last character (表 is 95 5C)
// ends in the byte of a backslash, started in another folder: its settings
// file is still the one beside it.
TEST(StartupTest, EachRoleRunsOnceAndSuspendsThePasswordFlagUntilItEndsOrIsLoggedOff) {
    test::UsePasswordFlag flag(5);
    ProductProcess p("表 Name.exe");
    p.WriteIni(test::ListIni({"○" + p.PlaceFixture("test_program.exe", "prog.exe")}));
    test::TempFolder elsewhere;
    // The settings dialog, owned by the window named after "/c:".
    HWND owner = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr, nullptr,
                                 nullptr);
    ASSERT_TRUE(p.Start("/c:" + std::to_string(reinterpret_cast<LONG_PTR>(owner)), elsewhere.Path().c_str()));
    HWND dialog = nullptr;
    const auto shown = [&] { return (dialog = test::FindWindowOf(p.Id(), IsSettingsDialog)) != nullptr; };
    ASSERT_TRUE(test::WaitUntil(shown, 10000, 20, true));
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), owner);
    std::string controls;  // version 6, from the side-by-side store
    RoleLibraries(p.Id(), &controls);
    EXPECT_NE(controls.find("\\winsxs\\"), std::string::npos) << controls;
    EXPECT_NE(controls.find("_microsoft.windows.common-controls_6595b64144ccf1df_6."), std::string::npos) << controls;
    ExpectFlag(0, p, "1");
    ExpectTakenRole("");
    PostMessageA(dialog, WM_CLOSE, 0, 0);
    EXPECT_TRUE(Ends(p));
    DestroyWindow(owner);
    ExpectFlag(1, p, "0");

    // A session showing a program.
    ASSERT_TRUE(p.Start("/S", elsewhere.Path().c_str()));
    HWND host = p.WaitForWindow(IsSessionWindow);
    ASSERT_NE(host, nullptr);
    ASSERT_TRUE(test::WaitUntil([] { return FindWindowA(nullptr, "test_program") != nullptr; }));
    EXPECT_FALSE(test::FileExists(elsewhere.File("tolvarin.ini")));
    // The program takes all input itself: a second session coming and going
    // does not end the first.
    ExpectTakenRole("/s");
    EXPECT_TRUE(p.Running());
    PostMessageA(host, WM_CLOSE, 0, 0);  // as the system would: the program goes with it
    EXPECT_TRUE(p.WaitForExit());
    ExpectFlag(1, p, "0");
    EXPECT_EQ(test::CountProcessesInFolder(p.Folder()), 0);

    // A log-off while a settings dialog, a session (on its cover) and a preview
    // run, each from a copy whose file holds the record that a killed process
    // left: each takes the suspension over and, ended without its exit step,
    // gives it back. A log-off that was cancelled changes nothing. Wine's
    // wineboot --end-session sends WM_QUERYENDSESSION and then WM_ENDSESSION
    // TRUE to every top-level window, hidden ones too, process by process, and
    // ends each process right after. It leaves alone the desktop's own process,
    // whose hidden tray window holds the preview here (so that no end of the
    // pane's parent ends the pane first), and every process without a
    // top-level window: this test, meanwhile.
    ProductProcess roles[3];
    const HWND tray = FindWindowA("Shell_TrayWnd", nullptr);
    const std::string arguments[] = {"", "/s", "/p " + std::to_string(reinterpret_cast<LONG_PTR>(tray))};
    for (int i = 0; i < 3; ++i) {
        roles[i].WriteIni("[OTHER]\r\nPassLock=1\r\n");
        ASSERT_TRUE(tray && roles[i].Start(arguments[i]));
        ASSERT_NE(roles[i].WaitForWindow([](HWND w) { return test::ClassNameOf(w) != "IME"; }), nullptr);
    }
    // The session's cover, active (the system's input method has seen it),
    // has loaded only what every role needs. (Wine may leave the activation
    // with a role started earlier, which has none to give: it is handed over.)
    ASSERT_NE(roles[1].WaitForWindow([](HWND w) {
        if (IsSessionWindow(w) && w != GetForegroundWindow()) SetForegroundWindow(w);
        return w == GetForegroundWindow();
    }), nullptr);
    EXPECT_EQ(RoleLibraries(roles[1].Id()), Libraries{"user32.dll"});
    SendMessageA(test::FindWindowOf(roles[1].Id(), IsSessionWindow), WM_ENDSESSION, FALSE, 0);
    ExpectFlag(0, roles[1], "1");
    const test::StartedProcess logOff = test::StartProcess("wineboot.exe --end-session");
    EXPECT_TRUE(logOff.process && WaitForSingleObject(logOff.process, 30000) == WAIT_OBJECT_0);
    CloseHandle(logOff.process);
    for (const ProductProcess& r : roles) EXPECT_TRUE(r.WaitForExit() && r.ReadIni("OTHER", "PassLock") == "0");
    EXPECT_EQ(test::GetUsePasswordFlag(), 1u);

}

// The preview pane, then the password change (through the system's
// library), which ends at once. The pane fills a 152×112 preview window
// that paints nothing under its child, as the display properties' preview
// monitor does. (Under Wine another process's drawing into our window
// cannot be read back from here; the cover window's tests check the
// picture, and that input leaves it, on a pane made the same way.)
TEST(StartupTest, ThePreviewLivesWithItsWindowAndThePasswordChangeEndsAtOnce) {
    test::UsePasswordFlag flag(3);
    ProductProcess p;
    WNDCLASSA wc = {0, DefWindowProcA, 0, 0, GetModuleHandleA(nullptr), nullptr, nullptr, nullptr, nullptr,
                    "TlvPreview"};
    RegisterClassA(&wc);
    HWND preview = CreateWindowExA(WS_EX_TOPMOST, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 200,
                                   200, 152, 112, nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_TRUE(p.Start("/p " + std::to_string(reinterpret_cast<LONG_PTR>(preview))));
    HWND pane = nullptr;
    ASSERT_TRUE(test::WaitUntil([&] { return IsWindowVisible(pane = GetWindow(preview, GW_CHILD)); }, 10000, 20, true));
    EXPECT_EQ(test::Placed(pane, preview), (test::Rect{0, 0, 152, 112}));
    EXPECT_EQ(RoleLibraries(p.Id()), Libraries{"user32.dll"});
    ExpectFlag(0, p, "1");
    // The system destroys its preview window: the process ends with it.
    DestroyWindow(preview);
    EXPECT_TRUE(test::WaitUntil([&] { return !p.Running(); }, 10000, 20, true));
    DWORD code = 1;
    EXPECT_TRUE(GetExitCodeProcess(p.Handle(), &code) && code == 0);
    ExpectFlag(1, p, "0");
    test::UsePasswordFlag again(3);
    ASSERT_TRUE(p.Start("/a 0"));
    EXPECT_TRUE(p.WaitForExit(15000));
    ExpectFlag(1, p, "0");
}

// A session showing a Flash movie, which a real key ends (pressed until
// the player, shown a moment ago, has the keyboard); then the password,
// asked of the system's check while a decoy lies beside the program. Its
// settings file is held open, unshared for writing: the suspension cannot
// be recorded, so the flag stays on, and the session still asks.
TEST(StartupTest, TheSessionAsksTheSystemsPasswordCheckAndLeavesTheFlagOnWhereItCannotNoteIt) {
    test::EnvironmentVariable overrides("WINEDLLOVERRIDES", "mscoree,mshtml=;password.cpl=n,b");
    test::UsePasswordFlag flag(1);
    test::SystemPasswordCheck passwordCheck;
    test::StandInFlashControl flashControl;
    ProductProcess p;
    p.PlaceFixture("decoy_library.dll", "password.cpl");
    test::WriteFileBytes(p.File("clip.swf"), "FWS");
    p.WriteIni(test::ListIni({"○" + p.File("clip.swf")}));
    HANDLE held = CreateFileA(p.IniPath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_TRUE(p.Start("/s"));
    auto flashPlayer = [](HWND w) { return IsWindowVisible(w) && test::TextOf(w) == TOLVARIN_PLAYER_CAPTION; };
    ASSERT_NE(p.WaitForWindow(flashPlayer), nullptr);
    ExpectFlag(1, p, "<missing>");
    ASSERT_TRUE(test::WaitUntil([&] {
        test::PressKey(VK_SPACE);
        return p.WaitForExit(200);
    }));
    EXPECT_EQ(p.Log().Lines("verify "), std::vector<std::string>{"verify flag=1 answer=1"});
    ExpectFlag(1, p, "<missing>");
    CloseHandle(held);
    EXPECT_EQ(p.Log().Value("decoy "), "") << "the password check beside the program was loaded";
}

TEST(BuiltFileTest, EveryBuildCarriesItsManifestAndLargeIcons) {
    std::string builds = test::BuildFolder();
    builds.erase(builds.find_last_of('\\'));
    std::set<std::string> paths = {test::ProductPath()};
    for (const char* arch : {"\\i686\\tolvarin.scr", "\\x86_64\\tolvarin.scr"}) {
        if (test::FileExists(builds + arch)) paths.insert(builds + arch);
    }
    // Vista, 7, 8, 8.1, 10 and 11 are supported; asking for an execution
    // level would end the redirection of a 32-bit copy's writes in a
    // protected folder.
    std::vector<std::string> wanted = {"name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
        "<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true</dpiAware>"};
    for (const char* os : {"e2011457-1546-43c5-a5fe-008deee3d3f0", "35138b9a-5d96-4fbd-8e2d-a2440225f93a",
                           "4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38", "1f676c76-80e1-4239-95bb-83d0f6d0da78",
                           "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a"}) {
        wanted.push_back(std::string("<supportedOS Id=\"{") + os + "}\"/>");
    }
    for (const std::string& path : paths) {
        SCOPED_TRACE(path);
        HMODULE file = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(file, nullptr);
        auto resource = [&](int type, int name) {  // empty when the file has none
            HRSRC found = FindResourceA(file, MAKEINTRESOURCEA(name), MAKEINTRESOURCEA(type));
            const char* bytes = found ? static_cast<const char*>(LockResource(LoadResource(file, found))) : nullptr;
            return bytes ? std::string(bytes, SizeofResource(file, found)) : std::string();
        };
        const std::string manifest = resource(24, 1);
        for (const std::string& part : wanted) EXPECT_NE(manifest.find(part), std::string::npos) << part;
        EXPECT_EQ(manifest.find("<requestedExecutionLevel"), std::string::npos);
        // The icon's sizes, from its group directory (a width of 0 is 256).
        const std::string group = resource(14, 128);
        std::set<int> widths;
        for (size_t at = 6; at + 14 <= group.size(); at += 14) {
            widths.insert(static_cast<unsigned char>(group[at] - 1) + 1);
        }
        EXPECT_EQ(widths, (std::set<int>{16, 32, 48, 256}));
        FreeLibrary(file);
    }
}

// The release archive as scripts/check-dist.sh has unpacked (and checked) it:
// its program for this test's processor runs a session and hands its manual
// over. (check-dist.sh finds the build's version in the programs' version
// blocks, which the about box shows, as dialogs_test sees.) Run by the ctest
// test dist_program (make dist, make test).
TEST(ReleaseArchiveTest, DISABLED_TheUnpackedProgramRunsASessionAndHandsItsManualOver) {
    const std::string folder = test::BuildFolder() + "\\dist-unpacked\\tolvarin-" TOLVARIN_VERSION_TEXT "\\";
    ProductProcess p("tolvarin.scr", folder + (sizeof(void*) == 4 ? "32bit" : "64bit") + "\\tolvarin.scr");
    test::HtmlViewerStandIn viewer;
    ASSERT_TRUE(p.Start("/s"));  // an empty list: the cover, until the mouse moves
    ASSERT_NE(p.WaitForWindow([](HWND w) { return IsWindowVisible(w) != FALSE; }), nullptr);
    EXPECT_TRUE(test::MoveMouseUntil([&] { return !p.Running(); }));
    ASSERT_TRUE(p.Start(""));
    HWND dialog = p.WaitForWindow(IsSettingsDialog);
    ASSERT_NE(dialog, nullptr);
    PostMessageA(dialog, WM_COMMAND, ID_HELP_FINDER, 0);
    ASSERT_TRUE(p.Log().Wait("exit"));
    const std::string handed = test::HtmlViewerStandIn::LastOpened(p.Log());
    EXPECT_EQ(handed.substr(handed.rfind('\\') + 1), "index.html");
    EXPECT_NE(test::ReadFileBytes(handed).find(u8"<title>トルヴァリン君 マニュアル</title>"), std::string::npos);
    PostMessageA(dialog, WM_CLOSE, 0, 0);
    EXPECT_TRUE(Ends(p));
}

}  // namespace
