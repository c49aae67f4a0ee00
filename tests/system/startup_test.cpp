// Start-up of the real tolvarin.scr, observed from outside: the role each
// command line gives, one process per role, the settings file beside the
// executable, the password flag through a process's life, and what the
// built files carry for the system (manifest, icon sizes).
#include "res/resource.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

using test::ProductProcess;

bool IsSessionWindow(HWND w) { return test::TextOf(w) == TOLVARIN_NAME && test::ClassNameOf(w) != "#32770"; }
bool IsSettingsDialog(HWND w) { return test::ClassNameOf(w) == "#32770" && test::TextOf(w) == TOLVARIN_NAME; }
// Waits handling our messages: a settings dialog may own our window.
bool Ends(const ProductProcess& p) { return test::PumpUntil([&] { return !p.Running(); }, 10000); }
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

TEST(StartupTest, EachRoleRunsOnceSuspendsThePasswordFlagAndRestoresItAtItsEnd) {
    test::SetUsePasswordFlag(5);
    // The settings dialog, owned by the window named after "/c:".
    HWND owner = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
    ProductProcess settings;
    ASSERT_TRUE(settings.Start("/c:" + std::to_string(reinterpret_cast<LONG_PTR>(owner))));
    HWND dialog = nullptr;
    test::PumpUntil([&] { return (dialog = test::FindWindowOf(settings.Id(), IsSettingsDialog)) != nullptr; }, 10000);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), owner);
    EXPECT_FALSE(IsWindowEnabled(owner));
    ExpectFlag(0, settings, "1");
    ExpectTakenRole("");
    PostMessageA(dialog, WM_CLOSE, 0, 0);
    EXPECT_TRUE(Ends(settings));
    EXPECT_TRUE(IsWindowEnabled(owner));
    DestroyWindow(owner);
    ExpectFlag(1, settings, "0");

    // A session under a name whose last character (表 is 95 5C) ends in the
    // byte of a backslash, started in another folder, showing a program:
    // its settings file is still the one beside it.
    ProductProcess session("表 Name.exe");
    session.WriteIni("[LIST]\r\nentry=0\r\nList0=○" + session.PlaceFixture("test_program.exe", "prog.exe") + "\r\n");
    test::TempFolder elsewhere;
    ASSERT_TRUE(session.Start("/S", elsewhere.Path().c_str()));
    HWND host = session.WaitForWindow(IsSessionWindow);
    ASSERT_NE(host, nullptr);
    ASSERT_TRUE(test::WaitUntil([] { return FindWindowA(nullptr, "test_program") != nullptr; }));
    ExpectFlag(0, session, "1");
    EXPECT_FALSE(test::FileExists(elsewhere.File("tolvarin.ini")));
    // The program takes all input itself: a second session coming and going
    // does not end the first.
    ExpectTakenRole("/s");
    EXPECT_TRUE(session.Running());
    PostMessageA(host, WM_CLOSE, 0, 0);  // as the system would: the program goes with it
    EXPECT_TRUE(session.WaitForExit());
    ExpectFlag(1, session, "0");
    EXPECT_EQ(test::CountProcessesInFolder(session.Folder()), 0);

    // Killed, a process leaves the suspension; the next one undoes it, even
    // one without a role (a preview or password change without its window),
    // which ends at once.
    ASSERT_TRUE(session.Start("/s"));
    ASSERT_NE(session.WaitForWindow(IsSessionWindow), nullptr);
    session.Kill();
    ExpectFlag(0, session, "1");
    for (const char* arguments : {"/p", "/a"}) {
        ASSERT_TRUE(session.Start(arguments));
        EXPECT_TRUE(session.WaitForExit()) << arguments;
        ExpectFlag(1, session, "0");
    }
    test::DeleteUsePasswordFlag();
}

TEST(BuiltFileTest, EveryBuildCarriesItsManifestAndLargeIcons) {
    std::string builds = test::BuildFolder();
    builds.erase(builds.find_last_of('\\'));
    std::set<std::string> paths = {test::ProductPath()};
    for (const char* arch : {"\\i686\\tolvarin.scr", "\\x86_64\\tolvarin.scr"}) {
        if (test::FileExists(builds + arch)) paths.insert(builds + arch);
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
        // Vista, 7, 8, 8.1, 10 and 11 are supported; asking for an execution
        // level would end the redirection of a 32-bit copy's writes in a
        // protected folder.
        std::string manifest = resource(24, 1);
        for (const char* part : {"name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
                                 "<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true</dpiAware>",
                                 "{e2011457-1546-43c5-a5fe-008deee3d3f0}", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
                                 "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}", "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",
                                 "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}", "!<trustInfo", "!<requestedExecutionLevel"}) {
            std::string text = part[0] == '{' ? std::string("<supportedOS Id=\"") + part + "\"/>" : part;
            EXPECT_EQ(manifest.find(text[0] == '!' ? text.substr(1) : text) != std::string::npos, text[0] != '!') << text;
        }
        // The icon's sizes, from its group directory (a width of 0 is 256).
        std::string group = resource(14, 128);
        std::set<int> widths;
        for (size_t at = 6; at + 14 <= group.size(); at += 14) widths.insert(static_cast<unsigned char>(group[at] - 1) + 1);
        EXPECT_EQ(widths, (std::set<int>{16, 32, 48, 256}));
        FreeLibrary(file);
    }
}

}  // namespace
