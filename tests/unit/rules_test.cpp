// Rules without a window: the multibyte-aware text helpers, the saver list's
// names and files, the per-file commands' and dialogs' texts, key and mouse
// macros (and the manual's list of the keys), where a movie goes, and the
// session's pick of the entries.
#include "framework/TextUtil.h"
#include "players/KeyMacro.h"
#include "players/LaunchRecord.h"
#include "players/MouseMacro.h"
#include "players/Movie.h"
#include "players/MovieFit.h"
#include "session/EntryPool.h"
#include "settings/SaverEntry.h"
#include "session/SwitchSchedule.h"
#include "tests/support/TestSupport.h"
#include "ui/FileCommandText.h"
#include "ui/FileSettingsText.h"
#include "ui/Manual.h"
#include "ui/SaverListRules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <sstream>

using namespace std::string_literals;
using Texts = std::vector<std::string>;
// 表 is 95 5C and ソ is 83 5C in Shift-JIS: their second bytes equal "\".
static const std::string kHyo = "\x95\x5C", kSo = "\x83\x5C";
static const char kHex[] = "0123456789ABCDEF";
static std::string Ints(std::initializer_list<long long> values) {
    std::string text;
    for (long long v : values) text += (text.empty() ? "" : ",") + std::to_string(v);
    return text;
}

// FindLastChar's multibyte-aware search shows in FileNamePart's and FolderOf's
// cases; SplitString's pieces in the mouse macros' and the macro rows' tables;
// EndsWithNoCase's (and so EqualsNoCase's and AsciiUpper's) in IsListableFile's
// and in settings_test's KindOfPath table.
TEST(TextUtilTest, AtoiReading) {
    const struct { const char* text; int value; } ints[] = {
        {"42", 42}, {"  -7x", -7}, {"+3", 3}, {"007", 7}, {"abc", 0}, {"", 0}, {nullptr, 0}, {"-", 0}};
    for (const auto& c : ints) EXPECT_EQ(ParseLeadingInt(c.text), c.value) << (c.text ? c.text : "null");
}

TEST(SaverListRulesTest, NamesFoldersPathsAndFiles) {
    const std::string japanese = "C:\\" + kHyo + "\\" + kSo + kHyo + ".scr";
    const struct { std::string path; bool extension; std::string name; } names[] = {
        {"C:\\Savers\\Stars.SCR", true, "Stars.SCR"}, {"C:\\Savers\\Stars.SCR", false, "Stars"},
        {"C:\\a.b\\archive.tar.gz", false, "archive.tar"}, {"plain.exe", true, "plain.exe"},
        {"C:\\a.b\\README", false, ""}, {"", false, ""},
        {japanese, true, kSo + kHyo + ".scr"}, {japanese, false, kSo + kHyo}};
    for (const auto& c : names) EXPECT_EQ(FileNamePart(c.path, c.extension), c.name) << c.path;
    EXPECT_EQ(FolderOf("C:\\" + kHyo + "\\" + kSo + ".exe"), "C:\\" + kHyo);
    // The last two: characters whose trail bytes are "a" and "A".
    const struct { std::string a, b; bool same; } paths[] = {
        {"C:\\Savers\\Stars.SCR", "c:\\SAVERS\\stars.scr", true}, {"C:\\a.scr", "C:\\b.scr", false},
        {"C:\\a.scr", "C:\\a.scr ", false}, {"C:\\\x88\x61.EXE", "c:\\\x88\x61.exe", true},
        {"C:\\\x88\x61.exe", "C:\\\x88\x41.exe", false}};
    for (const auto& c : paths) EXPECT_EQ(SamePath(c.a, c.b), c.same) << c.a << " " << c.b;
    for (const char* path : {"a.scr", "A.SCR", "b.Exe", "c.swf", "d.AVI", "e.mpg", "f.MPEG", "g.mp4", "h.m4v",
                             "i.Mov", "j.mkv", "k.WMV"})
        EXPECT_TRUE(IsListableFile(path)) << path;
    for (const char* path : {"movie.flv", "x.scr.txt", "scr", "", "noext", "clip.mp4.part"})
        EXPECT_FALSE(IsListableFile(path)) << path;
    EXPECT_EQ(AddDialogFilter(),
              "スクリーンセーバー (*.scr)|*.scr|実行可能ファイル (*.exe)|*.exe|"
              "FLASHファイル (*.swf)|*.swf|"
              "動画ファイル (*.avi;*.mpg;*.mpeg;*.mp4;*.m4v;*.mov;*.mkv;*.wmv)|"
              "*.avi;*.mpg;*.mpeg;*.mp4;*.m4v;*.mov;*.mkv;*.wmv||");
    EXPECT_TRUE(IsOwnSaverFile("C:\\Windows\\tolvarin.scr"));
    for (const char* path : {"C:\\WINDOWS\\TOLVARIN.SCR", "C:\\Windows\\mytolvarin.scr", "tolvarin.scr"})
        EXPECT_FALSE(IsOwnSaverFile(path)) << path;
    // The open-file dialog's result: one full path, or a folder (a root ends
    // in "\") and names; one that fills the buffer is not read beyond it.
    const struct { std::string buffer; Texts paths; } chosen[] = {
        {"C:\\a\\P.scr\0\0"s, {"C:\\a\\P.scr"}}, {"C:\\a\0P.scr\0Q.exe\0\0"s, {"C:\\a\\P.scr", "C:\\a\\Q.exe"}},
        {"C:\\\0P.scr\0Q.exe\0\0"s, {"C:\\P.scr", "C:\\Q.exe"}}, {"\0\0"s, {}}, {"C:\\a\\P.scr"s, {"C:\\a\\P.scr"}}};
    for (const auto& c : chosen) EXPECT_EQ(ChosenPaths(c.buffer.data(), c.buffer.size()), c.paths);
}

// A saver's own name is read as data only (no code of it runs), from 32-bit
// and 64-bit files alike; elsewhere the row shows the file name.
TEST(SaverListRulesTest, SaverNamesAreReadWithoutRunningTheSaver) {
    test::TempFolder folder;
    auto shown = [&folder](const std::string& name, bool withExtension, bool saverName) {
        return DisplayNameOf(folder.File(name), withExtension, saverName);
    };
    for (std::string fixture : {"named_saver.scr", "named_saver64.scr"}) {
        const std::string copy = folder.PlaceFixture(fixture, "Copy_" + fixture);
        EXPECT_EQ(shown("Copy_" + fixture, true, false) + "|" + shown("Copy_" + fixture, false, true),
                  "テスト用セーバー|Copy_" + fixture);
    }
    // The saver of this program's bitness leaves no trace, but a real one when loaded.
    std::string loaded = folder.File("Copy_named_saver.scr");
    EXPECT_FALSE(test::FileExists(loaded + ".ran"));
    FreeLibrary(LoadLibraryA(loaded.c_str()));
    EXPECT_TRUE(test::FileExists(loaded + ".ran"));
    test::WriteFileBytes(folder.File("note.scr"), "not a program");
    folder.PlaceFixture("named_saver.scr", "named.exe");
    EXPECT_EQ(shown("note.scr", true, true) + "|" + shown("missing.scr", true, false), "note.scr|missing");
    EXPECT_EQ(shown("named.exe", true, true), "named.exe");
}

TEST(FileTextsTest, LaunchAndConfigureLinesWidePathsCaptionsAndMacroRows) {
    EXPECT_EQ(LaunchCommandLine("C:\\My Savers\\a b.scr", ConfigureOptions(reinterpret_cast<HWND>(0x1A2B))),
              "\"C:\\My Savers\\a b.scr\" /c:6699");
    EXPECT_EQ(LaunchCommandLine("C:\\a.exe", ""), "\"C:\\a.exe\" ");
    // A launch's working folder: up to the last backslash, a root kept whole.
    const std::pair<std::string, std::string> folders[] = {{"C:\\root.exe", "C:\\"}, {"bare.exe", ""},
        {"C:\\Games\\" + kSo + ".scr", "C:\\Games"}, {"C:\\" + kHyo + "\\" + kHyo + ".exe", "C:\\" + kHyo}};
    for (const auto& row : folders) EXPECT_EQ(LaunchWorkingFolder(row.first), row.second) << row.first;
    // The owner as the signed decimal of the 32 bits the system uses.
    const struct { uintptr_t handle; const char* text; } handles[] = {
        {1234, "1234"}, {0x80000001u, "-2147483647"}, {0xFFFFFFFEu, "-2"}, {0x7FFFFFFFu, "2147483647"}, {0, "0"}};
    for (const auto& c : handles) EXPECT_EQ(HandleAsDecimal(reinterpret_cast<HWND>(c.handle)), c.text);
    auto wide = [](const std::string& p) { auto t = WidePath(p); return std::wstring(t.begin(), t.end()); };
    EXPECT_EQ(wide("C:\\" + kHyo + "\\m.avi") + wide(""), std::wstring(L"C:\\\u8868\\m.avi\0\0", 12));
    std::string longPath = "C:\\" + std::string(600, 'x') + "\\movie.avi";  // nothing is cut
    EXPECT_EQ(wide(longPath), std::wstring(longPath.begin(), longPath.end()) + L'\0');
    const struct { std::string path, caption; } captions[] = {
        {"C:\\Tools\\clock.exe", "clockの設定"}, {"C:\\movies\\clock.tar.swf", "clock.tarの設定"},
        {"C:\\v1.2\\clock", "clockの設定"}, {"C:\\ゲーム\\表.exe", "表の設定"}};
    for (const auto& c : captions) EXPECT_EQ(FileSettingsCaption(c.path), c.caption) << c.path;
    // Rows read as the player reads: two spaces end it; unknown actions; a
    // unit of 1 is percent, any other pixels; missing fields read 0, fields
    // past the sixth are ignored; a stray "%" makes no percentage.
    const struct { const char* stored; const char* rows; } rows[] = {
        {"", ""}, {"7,0,50,1,25,0", "7|クリック|50%|25;"}, {"007,1", "7|リロード||;"}, {"1 2,1", ""},
        {"2,1 5,1  9,1", "2|リロード||;5|リロード||;"}, {"2,1 ", "2|リロード||;"},
        {"8,0,50%,0,1,0", "8|クリック|50|1;"},
        {"3,-1,4,1,5,0 3,7,1,2,1, 4,0,10 6,0,1,0,2,0,9", "3|?|4%|5;3|?|1|1;4|クリック|10|0;6|クリック|1|2;"}};
    auto shown = [](const char* stored) {
        std::string text;
        for (const MacroRow& r : ReadMacroRows(stored)) text += r.time + "|" + r.action + "|" + r.x + "|" + r.y + ";";
        return text;
    };
    for (const auto& c : rows) EXPECT_EQ(shown(c.stored), c.rows) << c.stored;
    EXPECT_EQ(WriteMacroRows({{"5", kClickText, "120", "50%"}, {"5", kUnknownActionText, "1", "2"},
                              {"30", kReloadText, "", ""}}),
              "5,0,120,0,50,1 5,-1,1,0,2,0 30,1");
    for (const char* stored : {"", "7,0,50,1,25,0", "2,1", "5,0,120,0,50,1 30,1"})
        EXPECT_EQ(WriteMacroRows(ReadMacroRows(stored)), stored);
    // A new time goes after every row that is not later.
    for (auto c : {std::pair<int, size_t>{10, 4}, {9, 2}, {-1, 0}, {99, 5}})
        EXPECT_EQ(TimeSortedIndex({"0", "5", "10", "10", "30"}, c.first), c.second);
    EXPECT_EQ(TimeSortedIndex({}, 3), 0u);
}

TEST(KeyMacroTest, TokensAndChordsAsKeyEventsKeyNamesAsCodesAndTheManualListsEveryName) {
    // The events as "v12 v73 ^73 ^12 |": v press, ^ release, | the pause.
    struct Sink : KeyEventSink {
        std::string events;
        void Press(BYTE code) override { Add('v', code); }
        void Release(BYTE code) override { Add('^', code); }
        void Pause() override { events += " |"; }
        void Add(char kind, BYTE code) { events += std::string(" ") + kind + kHex[code >> 4] + kHex[code & 15]; }
    };
    auto events = [](const char* macro) { Sink sink; PlayKeyMacro(macro, sink); return sink.events.erase(0, 1); };
    // "+" at the end presses 0, and only the first makes a chord; long names
    // send 0 and make no chord past their fourth character; empty tokens.
    const struct { const char* macro; const char* events; } macros[] = {
        {"ALT+F04", "v12 v73 ^73 ^12 |"}, {"alt+f04", "v12 v73 ^73 ^12 |"},
        {"CTR+S ENT", "v11 v53 ^53 ^11 | v0D ^0D |"}, {"SHI+", "v10 v00 ^00 ^10 |"},
        {"CTR+A+B C", "v11 v41 ^41 ^11 | v43 ^43 |"}, {"a", "v41 ^41 |"}, {"F1", "vF1 ^F1 |"},
        {"F01", "v70 ^70 |"}, {"", "v00 ^00 |"}, {nullptr, ""}, {"SHIFT", "v00 ^00 |"},
        {"SHIFT+A B", "v00 ^00 | v42 ^42 |"}, {"ENT+ESC", "v0D v1B ^1B ^0D |"},
        {"A  B", "v41 ^41 | v00 ^00 | v42 ^42 |"}, {" A", "v00 ^00 | v41 ^41 |"}, {"A ", "v41 ^41 | v00 ^00 |"}};
    for (const auto& c : macros) EXPECT_EQ(events(c.macro), c.events) << (c.macro ? c.macro : "null");
    // Two characters are hexadecimal; a match spanning two cells of a table
    // takes the cell it begins in; the field is upper-cased in place.
    const struct { const char* name; int code; } names[] = {
        {"esc", 0x1B}, {"1B", 0x1B}, {"0D", 0x0D}, {"-1", 0xFF}, {"1G", 0}, {"ZZ", 0}, {"ESC", 0x1B},
        {"SPA", 0x20}, {"L_A", 0x25}, {"D_A", 0x28}, {"DEL", 0x2E}, {"F12", 0x7B}, {"SCR", 0x91}, {"ACT", 0x08},
        {"UMS", 0x90}, {"F13", 0}, {"Z", 0x5A}, {"7", 0x37}, {":", 0xBA}, {"@", 0xC0}, {"[", 0xDB}, {"_", 0xE2},
        {"!", 0}, {"\x82", 0}, {"", 0}, {"ABCD", 0}, {"f04", 0x73}};
    auto code = [](std::string f) { f.resize(8); return std::to_string(KeyNameToCode(&f[0])) + " " + f.c_str(); };
    for (const auto& c : names) EXPECT_EQ(code(c.name), std::to_string(c.code) + " " + AsciiUpper(c.name)) << c.name;

    // The manual that the built program carries lists every name of the
    // tables (12 punctuation keys, 23 + 12 + 2 names) as a key name of its own.
    HMODULE program = LoadLibraryExA(test::ProductPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(program, nullptr);
    std::map<std::string, std::string> pages;
    for (const manual::Page& page : manual::ReadPages(program)) pages[page.name] = page.bytes;
    FreeLibrary(program);
    const std::vector<std::string> tableNames = KeyNames();
    EXPECT_EQ(tableNames.size(), 49u);
    for (const std::string& name : tableNames)
        EXPECT_NE(pages["keys.html"].find("<td><code>" + name + "</code></td>"), std::string::npos) << name;
}

TEST(MouseMacroTest, StepsPointsPeriodsAndWhereAMovieGoes) {
    // Steps in stored order; a piece without a comma ends the macro.
    const struct { const char* text; const char* steps; } cases[] = {
        {"5,0,50,1,50,1 8,1 2,0,-7,0,+9x,3", "5,0,50,1,50,1;8,1,0,0,0,0;2,0,-7,0,9,3;"},
        {"4,0,30 6, 7,0,1,1,2,1,99,98", "4,0,30,0,0,0;6,0,0,0,0,0;7,0,1,1,2,1;"}, {"", ""}, {"5", ""}, {" 1,1", ""},
        {"1,1 ", "1,1,0,0,0,0;"}, {"1,0,5,0,5,0 2,1 3", "1,0,5,0,5,0;2,1,0,0,0,0;"},
        {"1,0,5,0,5,0 2,1  3,1", "1,0,5,0,5,0;2,1,0,0,0,0;"}};
    auto steps = [](const char* text) {
        std::string result;
        for (const MacroStep& s : ParseMouseMacro(text))
            result += Ints({s.time, s.action, s.x, s.xUnit, s.y, s.yUnit}) + ";";
        return result;
    };
    for (const auto& c : cases) EXPECT_EQ(steps(c.text), c.steps) << c.text;
    // Percent of the side (1) or pixels (any other unit), without 32-bit wraps.
    const struct { MacroStep step; int width; const char* at; } clicks[] = {
        {{0, 0, 10, 1, 50, 1}, 1024, "102,384"}, {{0, 0, 10, 0, 50, 2}, 1024, "10,50"},
        {{0, 0, 10, 2, 50, 0}, 1024, "10,50"}, {{0, 0, -33, 1, 0, 0}, 1000, "-330,0"},
        {{0, 0, 5000000, 1, 0, 0}, 1000, "50000000,0"}};
    for (const auto& c : clicks) {
        POINT p = MacroClickPoint(c.step, c.width, 768);
        EXPECT_EQ(Ints({p.x, p.y}), c.at) << c.step.x << "," << c.step.y;
    }
    EXPECT_EQ(Ints({MacroStepPeriodMs(5, 0), MacroStepPeriodMs(8, 5), MacroStepPeriodMs(3, 5), MacroStepPeriodMs(0, 0),
                    MacroStepPeriodMs(2147483647, -2147483647 - 1)}),
              Ints({5000, 3000, USER_TIMER_MINIMUM, USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM}));
    // The movie's ratio, centred; no division by zero, no overflow.
    const struct { int mw, mh, w, h; const char* rect; } fits[] = {
        {320, 240, 1024, 768, "0,0,1024,768"}, {2048, 1536, 1024, 768, "0,0,1024,768"}, {3, 2, 10, 10, "0,2,10,8"},
        {640, 480, 1280, 800, "107,0,1173,800"}, {1280, 720, 1024, 768, "0,96,1024,672"}, {320, 240, 0, 0, "0,0,0,0"},
        {0, 0, 1024, 768, "0,0,1024,768"}, {0, 240, 1024, 768, "512,0,512,768"}, {-5, 0, 1024, 768, "0,0,1024,768"},
        {320, 0, 1024, 768, "0,384,1024,384"}, {3000000, 1000000, 1024, 768, "0,213,1024,554"}};
    auto rect = [](const RECT& r) { return Ints({r.left, r.top, r.right, r.bottom}); };
    for (const auto& c : fits) EXPECT_EQ(rect(FitMovie(c.mw, c.mh, c.w, c.h)), c.rect) << c.mw << "x" << c.mh;
    // A video over 2 minutes starts next time 5 s before where it stopped; a short one, or a note beyond
    // the end, from the beginning.
    EXPECT_EQ(Ints({ResumePoint(65000, 120001), ResumePoint(65000, 120000), ResumePoint(5000, 200000),
                    ResumeStart(60000, 130000), ResumeStart(130000, 130000), ResumeStart(-1, 130000),
                    ResumeStart(60000, 120000)}),
              Ints({60000, 0, 0, 60000, 0, 0, 0}));
}

// A movie's playbacks as the test plays them: each logs what it is asked
// ("<kind><number> <call>;"); the test gives their events by their cookies.
// Kind 'p' (the preferred) is held ready at its start, 'f' (the fallback) not.
std::string played;
std::vector<LPARAM> cookies;
std::vector<HWND> screens;
template <char kind>
std::unique_ptr<MoviePlayback> MakeLoggedPlayback() {
    struct Logged : MoviePlayback {
        std::string name = kind + std::to_string(cookies.size());
        void Log(const std::string& call) { played += name + " " + call + ";"; }
        bool Open(const std::string&, HWND screen, HWND, LPARAM cookie, bool) override {
            cookies.push_back(cookie), screens.push_back(screen), Log("open");
            return true;
        }
        SIZE NaturalSize() const override { return {4, 3}; }
        DWORD LengthMs() const override { return 1000; }
        DWORD PositionMs() const override { return 0; }
        void Place(int, int) override {}
        void Start(DWORD fromMs) override { Log("start " + std::to_string(fromMs)); }
        bool HeldReady() const override { return kind == 'p'; }
        void Rewind() override { Log("rewind"); }
        void Close() override { Log("close"); }
    };
    return std::make_unique<Logged>();
}

// The preferred playback fails before its picture: the fallback plays, and
// starts over in place at its end. One held ready hands the loop to a second
// one of its kind, waiting held at its start in a hidden screen, and a second
// that fails as it takes over leaves the first to start over in place. A
// closed playback's late event means nothing.
TEST(MovieTest, FallsBackBeforeThePictureAndLoopsInPlaceOrThroughASecondPlaybackHeldReady) {
    HWND parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 40, 30, nullptr, nullptr, nullptr, nullptr);
    using E = MovieEvent;
    for (bool preferredPlays : {false, true}) {
        SCOPED_TRACE(preferredPlays);
        played.clear(), cookies.clear(), screens.clear();
        std::string news;
        Movie movie(&MakeLoggedPlayback<'p'>, &MakeLoggedPlayback<'f'>);
        ASSERT_TRUE(movie.Open("a.mp4", parent, parent, false));
        auto give = [&](E event, size_t i) { news += std::to_string(int(movie.OnEvent(WPARAM(event), cookies[i]))); };
        if (!preferredPlays) give(E::Failed, 0);
        const size_t first = cookies.size() - 1;
        give(E::Opened, first), movie.Start(0), give(E::Playing, first), give(E::Ended, first);
        if (preferredPlays) {
            give(E::Opened, 1), give(E::Ended, 0), give(E::Playing, 1);
            const auto shown = [](HWND screen) { return (GetWindowLongA(screen, GWL_STYLE) & WS_VISIBLE) != 0; };
            EXPECT_TRUE(shown(screens[1]) && !shown(screens[0]));
            give(E::Ended, 1), give(E::Failed, 0);
        } else {
            give(E::Ended, 0);  // the closed one's
        }
        movie.Close();
        EXPECT_EQ(news, preferredPlays ? "12303030" : "01230");
        EXPECT_EQ(played, preferredPlays ? "p0 open;p0 start 0;p1 open;p0 start 0;p1 rewind;p1 start 0;p0 rewind;"
                                           "p0 start 0;p0 close;p1 start 0;p1 close;"
                                         : "p0 open;p0 close;f1 open;f1 start 0;f1 start 0;f1 close;");
    }
    DestroyWindow(parent);
}

// The session's pool over a stored list the test can change between refills;
// Picks gives the entries picked ("-" and the current one: none), joined by spaces.
struct Pool {
    Texts values;
    EntryPool pool{[this](int i) { return i < static_cast<int>(values.size()) ? values[static_cast<size_t>(i)] : ""; }};
    std::string current;
    Pool(Texts list, int order, std::string last, unsigned seed = 1) : values(list), current(last) {
        std::srand(seed);
        pool.Prepare(order, current);
    }
    std::string Picks(int order, int count, bool zeroRandom = false) {
        std::string picked;
        auto random = [zeroRandom] { return zeroRandom ? 0 : std::rand(); };
        for (int i = 0; i < count; ++i) picked += (i ? " " : "") + (pool.Pick(order, current, random) ? current : "-" + current);
        return picked;
    }
};

TEST(EntryPoolTest, OrdersTheirStartAfterTheEntryShownLastAndRefills) {
    const Texts three = {"○E1", "○E2", "○E3"};
    // List order goes on after the last, else from the top; random (order 0,
    // here with a generator that always names the current path) repeats the
    // current path only when no other exists.
    const struct { Texts values; int order; const char* last; std::string picks; } cases[] = {
        {three, 1, "E2", "E3 E1 E2 E3 E1"}, {three, 1, "E3", "E1 E2 E3 E1"}, {three, 1, "gone.scr", "E1 E2 E3 E1"},
        {three, 1, "", "E1 E2 E3 E1"}, {three, 2, "E1", "E1 E2 E3 E1"}, {three, 7, "E1", "E1 E2 E3 E1"},
        {three, -1, "E1", "E1 E2 E3 E1"}, {{"○E1", "×E2"}, 0, "E1", "E1 E1 E1"}, {{"×E1"}, 0, "kept", "-kept"},
        {{"○E1", "○E1"}, 0, "E1", "E1 E1 E1 E1"}, {{"○E1", "○E1", "○E2"}, 0, "E1", "E2 E1 E1"}};
    for (const auto& c : cases) {
        Pool pool(c.values, c.order, c.last);
        int count = static_cast<int>(std::count(c.picks.begin(), c.picks.end(), ' ')) + 1;
        EXPECT_EQ(pool.Picks(c.order, count, c.order == 0), c.picks) << "order " << c.order << " after " << c.last;
    }
    Pool loaded({"○E1", "×E2", "E3", "", "○E5"}, 2, "");  // up to the first empty value
    EXPECT_EQ(Texts(loaded.pool.Paths().begin(), loaded.pool.Paths().end()), (Texts{"E1", "E3"}));
    // An entry switched on meanwhile joins at the next cycle: the pool was
    // refilled after the only pick of the first.
    Pool changed({"○E1", "×E2"}, 2, "");
    changed.values[1] = "○E2";
    EXPECT_EQ(changed.Picks(2, 5), "E1 E1 E2 E1 E2");
    // Within the dialog's range.
    EXPECT_EQ(Ints({SwitchPeriodMs(5), SwitchPeriodMs(1), SwitchPeriodMs(0), SwitchPeriodMs(-3), SwitchPeriodMs(999),
                    SwitchPeriodMs(40000)}),
              "300000,60000,60000,60000,59940000,59940000");
}

// The switch timer's rules on a clock of the test's own: "op:ms" events
// (start also stands for a switch made), "?ms" asks whether a switch is due
// then: y, n, or - when none is armed at all.
TEST(SwitchScheduleTest, SwitchesEveryPeriodButForProgramsNotReplacedAndAfterTheEnd) {
    const struct { bool timerOn; int onCount; const char* script; const char* due; } cases[] = {
        {true, 2, "start:0 ?299999 ?300000 start:300000 ?599999 ?600000", "nyny"},
        {false, 2, "start:0 ?300000", "-"}, {true, 1, "start:0 ?300000", "-"},
        {true, 2, "start:0 program0:1000 ?300000", "-"},  // "@change" 0
        {true, 2, "start:0 program1:1000 ?299999 ?300000", "ny"},
        {true, 2, "start:0 program0:1000 failedProgram:200000 ?300000 ?499999 ?500000", "nny"},
        {true, 2, "start:0 failedOther:200000 ?300000", "y"},
        {true, 2, "start:0 end:100000 ?300000 refused:150000 ?449999 ?450000", "-ny"},
        {true, 2, "start:4294967000 ?299703 ?299704", "ny"}};  // across the clock's wrap
    for (const auto& c : cases) {
        SwitchSchedule schedule(c.timerOn, c.onCount, 300000);
        std::string due;
        std::istringstream script(c.script);
        for (std::string step; script >> step;) {
            const size_t colon = step.find(':');
            const auto at = static_cast<DWORD>(std::stoul(step.substr(step[0] == '?' ? 1 : colon + 1)));
            const std::string op = step.substr(0, colon);
            if (step[0] == '?') due += !schedule.Armed() ? '-' : schedule.Due(at) ? 'y' : 'n';
            if (op == "start") schedule.Start(at);
            if (op == "program0" || op == "program1") schedule.ProgramStarting(op == "program1");
            if (op == "failedProgram" || op == "failedOther") schedule.StartFailed(op == "failedProgram", at);
            if (op == "end") schedule.Ended();
            if (op == "refused") schedule.PasswordRefused(at);
        }
        EXPECT_EQ(due, c.due) << c.script;
    }
}

// With a show on every monitor: the primary picks as ever, the second
// monitor then among what is no program, rather not what the primary
// shows, from the rest of the list when the cycle holds nothing for it.
TEST(EntryPoolTest, AnotherMonitorPicksNoProgramAndRatherNothingShownAlready) {
    const struct { Texts values; std::string rounds; } cases[] = {
        {{"○P.exe", "○E1", "○E2", "○E3"}, "P.exe/E1 E2/E3 P.exe/E1 E2/E3"}, {{"○P.exe", "○E1"}, "P.exe/E1 P.exe/E1"},
        {{"○E1"}, "E1/E1 E1/E1"}, {{"○P.exe", "○Q.exe"}, "P.exe/- Q.exe/-"}};
    for (const auto& c : cases) {
        Pool pool(c.values, 2, "");
        std::string rounds, second;
        const auto notProgram = [](const std::string& path) { return KindOfPath(path) != EntryKind::Program; };
        for (size_t i = 0; i < 4 && rounds.size() < c.rounds.size(); ++i) {
            pool.pool.Pick(2, pool.current, std::rand);
            const auto unshown = [&](const std::string& path) { return notProgram(path) && path != pool.current; };
            bool picked = pool.pool.PickWhere(2, second, std::rand, unshown) ||
                          pool.pool.PickWhere(2, second, std::rand, notProgram);
            rounds += (i ? " " : "") + pool.current + "/" + (picked ? second : "-");
        }
        EXPECT_EQ(rounds, c.rounds);
    }
}

TEST(EntryPoolTest, RandomCyclesShowEveryEntryOnceAndNeverRepeat) {
    for (unsigned seed = 1; seed <= 20; ++seed)
        EXPECT_EQ(Pool({"○E1", "○E2"}, 0, "E1", seed).Picks(0, 8), "E2 E1 E2 E1 E2 E1 E2 E1") << seed;
    Pool pool({"○E1", "○E2", "○E3"}, 0, "E3", 12345);
    std::set<std::string> firsts;
    for (int cycle = 0; cycle < 10; ++cycle) {
        std::string last = pool.current;
        std::string a = pool.Picks(0, 1), b = pool.Picks(0, 1), c = pool.Picks(0, 1);
        EXPECT_TRUE(a != b && b != c && a != c && a != last) << "cycle " << cycle << ": " << last << " " << a << b << c;
        firsts.insert(a);
    }
    EXPECT_GE(firsts.size(), 2u);  // the cycles really are shuffled
}
