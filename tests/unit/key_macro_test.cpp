// Key macros as the key events they produce, without touching the keyboard.
#include "players/KeyMacro.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

// Writes the events as "v12 v73 ^73 ^12 |": v press, ^ release, | pause.
class RecordingSink : public KeyEventSink {
public:
    std::string events;
    void Press(BYTE code) override { Add('v', code); }
    void Release(BYTE code) override { Add('^', code); }
    void Pause() override { events += events.empty() ? "|" : " |"; }

private:
    void Add(char kind, BYTE code) {
        char text[8];
        std::snprintf(text, sizeof text, "%s%c%02X", events.empty() ? "" : " ", kind, code);
        events += text;
    }
};

std::string Events(const char* macro) {
    RecordingSink sink;
    PlayKeyMacro(macro, sink);
    return sink.events;
}

// One key pressed and released on its own, then the pause.
std::string Tap(const char* code) {
    return std::string("v") + code + " ^" + code + " |";
}

int Code(const char* name) {
    char field[8] = {};
    std::snprintf(field, sizeof field, "%s", name);
    return KeyNameToCode(field);
}

}  // namespace

TEST(KeyMacroTest, ChordsHoldTheFirstKeyAroundTheSecond) {
    EXPECT_EQ(Events("ALT+F04"), "v12 v73 ^73 ^12 |");
    EXPECT_EQ(Events("CTR+S ENT"), "v11 v53 ^53 ^11 | v0D ^0D |");
    // A trailing plus presses code 0 as the second key.
    EXPECT_EQ(Events("SHI+"), "v10 v00 ^00 ^10 |");
    // Only the first plus counts; the rest of the token is skipped.
    EXPECT_EQ(Events("CTR+A+B C"), "v11 v41 ^41 ^11 | " + Tap("43"));
}

TEST(KeyMacroTest, NamesAreNotCaseSensitive) {
    EXPECT_EQ(Events("alt+f04"), Events("ALT+F04"));
    EXPECT_EQ(Events("a"), Tap("41"));
    EXPECT_EQ(Code("esc"), 0x1B);
}

TEST(KeyMacroTest, TwoCharactersAreAHexadecimalCode) {
    EXPECT_EQ(Events("F1"), Tap("F1"));  // not the function key, which is F01
    EXPECT_EQ(Events("F01"), Tap("70"));
    EXPECT_EQ(Code("1B"), Code("ESC"));
    EXPECT_EQ(Code("0D"), Code("ENT"));
    EXPECT_EQ(Code("-1"), 0xFF);
    EXPECT_EQ(Code("1G"), 0);  // not read to its end
    EXPECT_EQ(Code("ZZ"), 0);
}

TEST(KeyMacroTest, NamedKeysComeFromTheirTablesByTheCellAMatchBeginsIn) {
    EXPECT_EQ(Code("ESC"), 0x1B);
    EXPECT_EQ(Code("SPA"), 0x20);
    EXPECT_EQ(Code("L_A"), 0x25);
    EXPECT_EQ(Code("D_A"), 0x28);
    EXPECT_EQ(Code("DEL"), 0x2E);
    EXPECT_EQ(Code("F12"), 0x7B);
    EXPECT_EQ(Code("SCR"), 0x91);
    // Spanning two cells: the cell where the match begins.
    EXPECT_EQ(Code("ACT"), 0x08);
    EXPECT_EQ(Code("UMS"), 0x90);
    EXPECT_EQ(Code("F13"), 0);
}

TEST(KeyMacroTest, SingleCharactersAreLettersDigitsOrPunctuationKeys) {
    EXPECT_EQ(Code("Z"), 0x5A);
    EXPECT_EQ(Code("7"), 0x37);
    EXPECT_EQ(Code(":"), 0xBA);
    EXPECT_EQ(Code("@"), 0xC0);
    EXPECT_EQ(Code("["), 0xDB);
    EXPECT_EQ(Code("_"), 0xE2);
    EXPECT_EQ(Code("!"), 0);
    EXPECT_EQ(Code("\x82"), 0);  // a lead byte of a two-byte character
}

TEST(KeyMacroTest, LongNamesSendZeroAndMakeNoChord) {
    EXPECT_EQ(Events("SHIFT"), Tap("00"));
    // The plus after the fourth character is skipped with the rest.
    EXPECT_EQ(Events("SHIFT+A B"), Tap("00") + " " + Tap("42"));
    // The plus within the first four characters does make a chord.
    EXPECT_EQ(Events("ENT+ESC"), "v0D v1B ^1B ^0D |");
}

TEST(KeyMacroTest, EmptyTokensStillSendCodeZeroAndPause) {
    EXPECT_EQ(Events("A  B"), Tap("41") + " " + Tap("00") + " " + Tap("42"));
    EXPECT_EQ(Events(" A"), Tap("00") + " " + Tap("41"));
    EXPECT_EQ(Events("A "), Tap("41") + " " + Tap("00"));
    EXPECT_EQ(Events(""), Tap("00"));
    EXPECT_EQ(Events(nullptr), "");
}

TEST(KeyMacroTest, KeyNameToCodeUpperCasesItsFieldInPlace) {
    char field[] = "f04";
    EXPECT_EQ(KeyNameToCode(field), 0x73);
    EXPECT_STREQ(field, "F04");
    char empty[] = "";
    EXPECT_EQ(KeyNameToCode(empty), 0);
    char four[] = "ABCD";
    EXPECT_EQ(KeyNameToCode(four), 0);
}
