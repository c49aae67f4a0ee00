// The typed settings over a profile kept in memory, which logs every write
// in its order (the order gives new keys their place in the file), and the
// settings dialog's row model.
#include "settings/SaverSettings.h"
#include "settings/SettingsFile.h"
#include "ui/SaverListModel.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <map>
#include <vector>

namespace {

class MemoryProfile : public Profile {
public:
    int ReadInt(const char* section, const char* key, int def) const override {
        auto found = values.find(Name(section, key));
        return found == values.end() || found->second.empty() ? def : std::atoi(found->second.c_str());
    }
    std::string ReadString(const char* section, const char* key, const std::string& def) const override {
        auto found = values.find(Name(section, key));
        return found == values.end() ? def : found->second;
    }
    bool WriteInt(const char* section, const char* key, int value) const override {
        return WriteString(section, key, std::to_string(value));
    }
    bool WriteString(const char* section, const char* key, const std::string& value) const override {
        log.push_back(std::string(section) + " " + key + "=" + value);
        if (failing) return false;
        values[Name(section, key)] = value;
        return true;
    }
    bool Delete(const char* section, const char* key) const override {
        log.push_back(std::string(section) + " -" + key);
        if (failing) return false;
        values.erase(Name(section, key));
        return true;
    }

    // Section and key names compare without regard to case, as in the file.
    static std::string Name(const char* section, const char* key) {
        std::string name = std::string(section) + "\n" + key;
        for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        return name;
    }
    void Set(const char* section, const char* key, const std::string& value) { values[Name(section, key)] = value; }

    mutable std::map<std::string, std::string> values;
    mutable std::vector<std::string> log;
    bool failing = false;
};

const std::string kOn = settings::kMarkOn;
const std::string kOff = settings::kMarkOff;

TEST(SaverSettingsTest, EachReaderGetsItsOwnDefaults) {
    MemoryProfile profile;
    SaverSettings stored(profile);
    EXPECT_EQ(stored.StoredCount(), 0);
    EXPECT_TRUE(stored.ReadList().empty());
    EXPECT_EQ(stored.SessionOnCount(), 0);
    EXPECT_EQ(stored.SessionMinutes(), 5);
    EXPECT_EQ(stored.DialogMinutes(), 10);
    EXPECT_FALSE(stored.TimerOn());
    EXPECT_EQ(stored.Order(), 0);
    EXPECT_EQ(stored.ShowExtension(), 1);
    EXPECT_EQ(stored.ShowSaverName(), 1);
    EXPECT_EQ(stored.Last(), "");
    EXPECT_FALSE(stored.PassLock());
    ProgramValues program = stored.ReadProgram("C:\\a.exe");
    EXPECT_EQ(program.option + program.startMacro + program.finishMacro, "");
    EXPECT_EQ(program.mouse + program.change, 0);

    // Without ON, the session counts every stored value as switched on.
    profile.Set("LIST", "entry", "2");
    profile.Set("List", "List0", kOff + "C:\\a.scr");
    profile.Set("List", "List1", "C:\\b.exe");
    EXPECT_EQ(stored.SessionOnCount(), 3);
    std::vector<SaverEntry> list = stored.ReadList();
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].StoredValue(), kOff + "C:\\a.scr");
    EXPECT_EQ(list[1].StoredValue(), kOn + "C:\\b.exe");
    EXPECT_EQ(list[2].StoredValue(), kOn);
    EXPECT_EQ(stored.ListValue(1), "C:\\b.exe");
}

TEST(SaverSettingsTest, TheDialogStateIsWrittenKeyByKeyInItsOrder) {
    MemoryProfile profile;
    profile.Set("LIST", "entry", "3");
    DialogState state;
    state.entries = {{kOn, "C:\\s\\a.scr"}, {kOff, "C:\\p\\b.exe"}, {kOn, "C:\\m\\c.avi"}};
    state.dir = "C:\\m";
    state.order = 2;
    state.showExtension = 0;
    state.showSaverName = 1;
    state.timerOn = 1;
    state.minutes = 1500;
    EXPECT_TRUE(SaverSettings(profile).WriteDialogState(state));
    EXPECT_EQ(profile.log, (std::vector<std::string>{
                               "LIST entry=2", "LIST List0=" + kOn + "C:\\s\\a.scr",
                               "LIST List1=" + kOff + "C:\\p\\b.exe", "LIST List2=" + kOn + "C:\\m\\c.avi",
                               "LIST -List3", "LIST -List4", "OTHER Dir=C:\\m", "OTHER Order=2",
                               "OTHER ON=2", "OTHER Extension=0", "OTHER SaverName=1",
                               "TIMER ON/OFF=1", "TIMER Time=999"}));

    // A failing file: every write is still tried, and the save fails.
    profile.log.clear();
    profile.failing = true;
    state.entries.clear();
    EXPECT_FALSE(SaverSettings(profile).WriteDialogState(state));
    EXPECT_EQ(profile.log.size(), 12u);
    EXPECT_EQ(profile.log.front(), "LIST entry=-1");
}

TEST(SaverSettingsTest, PerFileValuesAreWrittenAndForgottenByKind) {
    MemoryProfile profile;
    SaverSettings stored(profile);
    ProgramValues values{"-x", "{ENTER}", "%{F4}", 1, 0};
    EXPECT_TRUE(stored.WriteProgram("C:\\a.exe", values));
    EXPECT_TRUE(stored.WriteFlashMacro("C:\\f.swf", "0,1,2"));
    EXPECT_EQ(profile.log, (std::vector<std::string>{
                               "EXE_CONFIG C:\\a.exe@option=-x", "EXE_CONFIG C:\\a.exe@start={ENTER}",
                               "EXE_CONFIG C:\\a.exe@finish=%{F4}", "EXE_CONFIG C:\\a.exe@mouse=1",
                               "EXE_CONFIG C:\\a.exe@change=0", "SWF_CONFIG C:\\f.swf@macro=0,1,2"}));
    EXPECT_TRUE(stored.ProgramTakesMouse("C:\\A.EXE"));
    EXPECT_FALSE(stored.ProgramSwitchesOnTime("C:\\a.exe"));
    EXPECT_EQ(stored.ReadProgram("C:\\a.exe").finishMacro, "%{F4}");
    EXPECT_EQ(stored.FlashMacro("C:\\f.swf"), "0,1,2");

    profile.log.clear();
    for (const char* path : {"C:\\a.EXE", "C:\\f.Swf", "C:\\s.scr"}) EXPECT_TRUE(stored.ForgetFile(path));
    EXPECT_EQ(profile.log, (std::vector<std::string>{
                               "EXE_CONFIG -C:\\a.EXE@option", "EXE_CONFIG -C:\\a.EXE@start",
                               "EXE_CONFIG -C:\\a.EXE@finish", "EXE_CONFIG -C:\\a.EXE@mouse",
                               "EXE_CONFIG -C:\\a.EXE@change", "SWF_CONFIG -C:\\f.Swf@macro"}));
    EXPECT_TRUE(profile.values.empty());
}

TEST(SaverListModelTest, RowsKeepTheirPathsThroughInsertToggleMoveAndErase) {
    SaverListModel rows;
    rows.Insert(-1, {kOn, "C:\\a.scr"});
    rows.Insert(-1, {kOn, "C:\\b.exe"});
    rows.Insert(0, {kOff, "C:\\c.swf"});
    rows.Insert(9, {kOn, "C:\\d.avi"});
    auto paths = [&rows] {
        std::string text;
        for (const SaverEntry& row : rows.Entries()) text += row.StoredValue() + "|";
        return text;
    };
    EXPECT_EQ(paths(), kOff + "C:\\c.swf|" + kOn + "C:\\a.scr|" + kOn + "C:\\b.exe|" + kOn + "C:\\d.avi|");
    rows.Toggle(0);
    rows.Toggle(1);
    rows.Move(3, 0);
    rows.Move(1, 3);
    EXPECT_EQ(paths(), kOn + "C:\\d.avi|" + kOff + "C:\\a.scr|" + kOn + "C:\\b.exe|" + kOn + "C:\\c.swf|");
    EXPECT_EQ(rows.Find("c:\\B.EXE"), 2);
    EXPECT_EQ(rows.Find("C:\\e.exe"), -1);
    rows.Erase(0);
    rows.Erase(7);
    EXPECT_EQ(rows.Count(), 3);
    EXPECT_EQ(rows.Path(0), "C:\\a.scr");
    EXPECT_EQ(rows.Path(3), "");
}

}  // namespace
