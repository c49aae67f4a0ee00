// The start-up: the role by the command line, what it fixes before choosing
// one, and the suspension of the system's password flag and its return.
#include "app/SaverApp.h"
#include "session/PasswordHelper.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <sstream>

TEST(StartModeTest, FirstArgumentChoosesTheRoleAndTheSettingsParent) {
    // The arguments separated by "|"; the parent needs the colon, and a
    // handle with the top bit set arrives as a negative number.
    const struct { std::string line; StartMode mode; LONG_PTR parent; } cases[] = {
        {"t.scr", StartMode::Settings, 0}, {"t.scr|/c", StartMode::Settings, 0}, {"t.scr|-C", StartMode::Settings, 0},
        {"t.scr|/c:1234", StartMode::Settings, 1234}, {"t.scr|/c1234", StartMode::Settings, 0},
        {"t.scr|/c:0", StartMode::Settings, 0}, {"t.scr|/c:-2", StartMode::Settings, -2},
        {"t.scr|/p|55", StartMode::Preview, 0}, {"t.scr|/S", StartMode::Saver, 0}, {"t.scr|-s", StartMode::Saver, 0},
        {"t.scr|/saver", StartMode::Saver, 0}, {"t.scr|/a|1", StartMode::ChangePassword, 0},
        {"t.scr|s", StartMode::None, 0}, {"t.scr|/x", StartMode::None, 0}, {"t.scr|/", StartMode::None, 0},
        {"t.scr|", StartMode::None, 0}};
    for (const auto& c : cases) {
        std::vector<std::string> texts;
        std::istringstream line(c.line + "|");
        for (std::string text; std::getline(line, text, '|');) texts.push_back(text);
        std::vector<char*> arguments;
        for (std::string& text : texts) arguments.push_back(&text[0]);
        EXPECT_EQ(SaverApp::ChooseMode(static_cast<int>(arguments.size()), arguments.data()), c.mode) << c.line;
        EXPECT_EQ(SaverApp::SettingsParent(static_cast<int>(arguments.size()), arguments.data()),
                  reinterpret_cast<HWND>(c.parent)) << c.line;
    }
    char upper[] = "/SAVE", other[] = "-P";  // lower-cased in place
    EXPECT_TRUE(SaverApp::MatchSwitch(upper, "s"));
    EXPECT_FALSE(SaverApp::MatchSwitch(other, "s"));
    EXPECT_EQ(std::string(upper) + other, "/save-p");
}

TEST(StartModeTest, StartUpFixesFolderAndSettingsFileWhateverTheName) {
    char original[MAX_PATH] = {}, current[MAX_PATH] = {}, self[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, original);
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string folder(self, std::string(self).find_last_of('\\'));
    test::DeleteUsePasswordFlag();
    test::TempFolder elsewhere;
    SetCurrentDirectoryA(elsewhere.Path().c_str());
    SaverApp app;
    app.SetArguments({"renamed.exe", "zzz"});  // no mode: the process would end
    EXPECT_FALSE(app.InitInstance());
    GetCurrentDirectoryA(MAX_PATH, current);
    EXPECT_EQ(std::string(current) + "|" + app.ProfileName(), folder + "|" + folder + "\\tolvarin.ini");
    EXPECT_EQ(app.sessionEvent, nullptr);
    app.ExitInstance();
    SetCurrentDirectoryA(original);
}

// Any non-zero flag, or a PassLock left over by an earlier process, is
// suspended and comes back as 1; with the flag off nothing is touched.
TEST(PasswordFlagTest, SuspendedAtStartAndRestoredAtExit) {
    const struct { int flag, passLock; bool suspended; } cases[] = {{5, -1, true}, {0, 1, true}, {-1, -1, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "flag " << c.flag << ", PassLock " << c.passLock);
        test::TempFolder folder;
        App app;
        app.SetProfileName(folder.File("tolvarin.ini"));
        auto state = [&app] {
            bool exists = false;
            DWORD flag = test::GetUsePasswordFlag(&exists);
            return (exists ? std::to_string(flag) : "none") + " " + std::to_string(app.GetProfileInt("OTHER", "PassLock", -9));
        };
        if (c.flag < 0) test::DeleteUsePasswordFlag(); else test::SetUsePasswordFlag(static_cast<DWORD>(c.flag));
        if (c.passLock >= 0) app.WriteProfileInt("OTHER", "PassLock", c.passLock);
        EXPECT_EQ(ReadUsePasswordFlag(), static_cast<DWORD>(c.flag < 0 ? 0 : c.flag));
        EXPECT_EQ(SuspendUsePasswordFlag(app), c.suspended);
        EXPECT_EQ(state(), c.suspended ? "0 1" : "none -9");
        EXPECT_EQ(test::FileExists(folder.File("tolvarin.ini")), c.suspended);
        if (c.suspended) {
            RestoreUsePasswordFlag(app);
            EXPECT_EQ(state(), "1 0");
        }
    }
    WriteUsePasswordFlag(0);  // made anew: the last case left none
    // No password check beside the test program or in the system: the
    // session may end, and the flag stays as it was.
    PasswordHelper helper;
    EXPECT_TRUE(helper.VerifyPassword(nullptr));
    bool exists = false;
    EXPECT_EQ(test::GetUsePasswordFlag(&exists), 0u);
    EXPECT_TRUE(exists);
    helper.ChangePassword(nullptr);  // does nothing where the service is missing
    test::DeleteUsePasswordFlag();
}
