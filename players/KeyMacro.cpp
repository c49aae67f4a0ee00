#include "players/KeyMacro.h"

#include "players/WindowIds.h"

#include <cstdlib>
#include <cstring>

namespace {

// Keys of the Japanese layout that carry these characters: the character at
// position k has code 0xBA + k; spaces stand for codes without a name.
constexpr char kPunctuation[] =
    ":;,-./@"
    "                          "
    "[\\]^"
    "   "
    "_";
static_assert(sizeof kPunctuation - 1 == 41, "punctuation text is 41 characters");

// Three-character names in cells of three: the cell at index i names code
// base + i; three spaces stand in each cell whose code has no name.
constexpr char kNamesFrom08[] =
    "BACTAB      CLEENT      SHICTRALTPAUCAP"
    "                  ESC            SPAP_UP_DENDHOML_AU_AR_AD_ASEL"
    "      PRTINSDEL";
static_assert(sizeof kNamesFrom08 - 1 == 39 * 3, "first name table is 39 cells");
constexpr char kNamesFrom70[] = "F01F02F03F04F05F06F07F08F09F10F11F12";
constexpr char kNamesFrom90[] = "NUMSCR";

constexpr int kFieldLength = 4;
constexpr DWORD kPauseMs = 20;

// Finds the three-character field in a packed table: the code of the cell
// where its first occurrence begins, or -1.
int FindInTable(const char* table, int base, const char* field) {
    const char* found = std::strstr(table, field);
    if (!found) return -1;
    return base + static_cast<int>(found - table) / 3;
}

// Copies the key field that starts at text: up to four characters, ended
// early by a space or a plus sign. Returns the character that ended it
// (' ', '+', or 0 when neither was among the four).
char TakeField(const char* text, char (&field)[kFieldLength + 1]) {
    int length = 0;
    char ender = 0;
    while (length < kFieldLength && text[length] != '\0') {
        char c = text[length];
        if (c == ' ' || c == '+') {
            ender = c;
            break;
        }
        field[length++] = c;
    }
    field[length] = '\0';
    return ender;
}

class KeyboardSink : public KeyEventSink {
public:
    void Press(BYTE code) override { keybd_event(code, 0, 0, kOwnInputTag); }
    void Release(BYTE code) override { keybd_event(code, 0, KEYEVENTF_KEYUP, kOwnInputTag); }
    void Pause() override { Sleep(kPauseMs); }
};

}  // namespace

int KeyNameToCode(char* field) {
    if (!field) return 0;
    for (char* c = field; *c; ++c) {
        if (*c >= 'a' && *c <= 'z') *c = static_cast<char>(*c - 'a' + 'A');
    }
    switch (std::strlen(field)) {
    case 1: {
        char c = field[0];
        if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return c;
        const void* found = std::memchr(kPunctuation, c, sizeof kPunctuation - 1);
        if (!found) return 0;
        return 0xBA + static_cast<int>(static_cast<const char*>(found) - kPunctuation);
    }
    case 2: {
        char* end = nullptr;
        long number = std::strtol(field, &end, 16);
        if (end != field + 2) return 0;
        return static_cast<int>(number & 0xFF);
    }
    case 3: {
        int code = FindInTable(kNamesFrom08, 0x08, field);
        if (code < 0) code = FindInTable(kNamesFrom70, 0x70, field);
        if (code < 0) code = FindInTable(kNamesFrom90, 0x90, field);
        return code < 0 ? 0 : code;
    }
    default:
        return 0;
    }
}

std::vector<std::string> KeyNames() {
    std::vector<std::string> names;
    for (const char* c = kPunctuation; *c; ++c) {
        if (*c != ' ') names.emplace_back(1, *c);
    }
    for (const char* table : {kNamesFrom08, kNamesFrom70, kNamesFrom90}) {
        for (const char* cell = table; *cell; cell += 3) {
            if (cell[0] != ' ') names.emplace_back(cell, 3);
        }
    }
    return names;
}

void PlayKeyMacro(const char* text, KeyEventSink& sink) {
    if (!text) return;
    const char* p = text;
    for (;;) {
        char field[kFieldLength + 1];
        bool chord = TakeField(p, field) == '+';
        BYTE first = static_cast<BYTE>(KeyNameToCode(field));
        sink.Press(first);
        if (chord) {
            // Only the first plus sign counts: the second field ends at the
            // next space or plus, and the rest of the token is skipped.
            p = std::strchr(p, '+') + 1;
            TakeField(p, field);
            BYTE second = static_cast<BYTE>(KeyNameToCode(field));
            sink.Press(second);
            sink.Release(second);
        }
        sink.Release(first);
        sink.Pause();
        const char* space = std::strchr(p, ' ');
        if (!space) return;
        p = space + 1;
    }
}

void RunKeyMacro(const char* text) {
    KeyboardSink keyboard;
    PlayKeyMacro(text, keyboard);
}
