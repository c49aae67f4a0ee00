// The command-line modes, and what start-up fixes before it chooses one.
#include "app/SaverApp.h"
#include "session/PasswordHelper.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

StartMode ModeOf(std::vector<std::string> texts) {
    std::vector<char*> arguments;
    for (std::string& text : texts) arguments.push_back(&text[0]);
    return SaverApp::ChooseMode(static_cast<int>(arguments.size()), arguments.data());
}

HWND ParentOf(std::string first) {
    std::string program = "tolvarin.scr";
    char* arguments[] = {&program[0], &first[0]};
    return SaverApp::SettingsParent(2, arguments);
}

TEST(StartModeTest, FirstArgumentChoosesTheRole) {
    EXPECT_EQ(ModeOf({"t.scr"}), StartMode::Settings);
    EXPECT_EQ(ModeOf({"t.scr", "/c"}), StartMode::Settings);
    EXPECT_EQ(ModeOf({"t.scr", "/c:1234"}), StartMode::Settings);
    EXPECT_EQ(ModeOf({"t.scr", "-C"}), StartMode::Settings);
    EXPECT_EQ(ModeOf({"t.scr", "/p", "55"}), StartMode::Preview);
    EXPECT_EQ(ModeOf({"t.scr", "/S"}), StartMode::Saver);
    EXPECT_EQ(ModeOf({"t.scr", "-s"}), StartMode::Saver);
    EXPECT_EQ(ModeOf({"t.scr", "/saver"}), StartMode::Saver);
    EXPECT_EQ(ModeOf({"t.scr", "/a", "1"}), StartMode::ChangePassword);
    EXPECT_EQ(ModeOf({"t.scr", "s"}), StartMode::None);
    EXPECT_EQ(ModeOf({"t.scr", "/x"}), StartMode::None);
    EXPECT_EQ(ModeOf({"t.scr", "/"}), StartMode::None);
    EXPECT_EQ(ModeOf({"t.scr", ""}), StartMode::None);
}

TEST(StartModeTest, MatchSwitchLowerCasesTheArgumentInPlace) {
    char argument[] = "/SAVE";
    EXPECT_TRUE(SaverApp::MatchSwitch(argument, "s"));
    EXPECT_STREQ(argument, "/save");
    char other[] = "-P";
    EXPECT_FALSE(SaverApp::MatchSwitch(other, "s"));
    EXPECT_STREQ(other, "-p");
}

TEST(StartModeTest, SettingsParentNeedsTheColon) {
    EXPECT_EQ(ParentOf("/c:1234"), reinterpret_cast<HWND>(1234));
    EXPECT_EQ(ParentOf("/c1234"), nullptr);
    EXPECT_EQ(ParentOf("/c:0"), nullptr);
    EXPECT_EQ(ParentOf("/c"), nullptr);
    // A handle with the top bit set arrives as a negative number.
    EXPECT_EQ(ParentOf("/c:-2"), reinterpret_cast<HWND>(static_cast<LONG_PTR>(-2)));
}

TEST(StartModeTest, StartUpFixesFolderAndSettingsFileWhateverTheName) {
    char original[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, original);
    test::DeleteUsePasswordFlag();
    test::TempFolder elsewhere;
    SetCurrentDirectoryA(elsewhere.Path().c_str());

    SaverApp app;
    app.SetArguments({"renamed.exe", "zzz"});  // no mode: the process would end
    EXPECT_FALSE(app.InitInstance());

    std::string folder = test::ThisExecutableFolder();
    char current[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, current);
    EXPECT_EQ(std::string(current), folder);
    EXPECT_EQ(app.ProfileName(), folder + "\\tolvarin.ini");
    EXPECT_EQ(app.sessionEvent, nullptr);
    app.ExitInstance();
    SetCurrentDirectoryA(original);
}

}  // namespace
