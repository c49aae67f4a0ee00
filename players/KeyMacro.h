// Key macros: a short text of key names, typed into whatever window has the
// keyboard focus, as if the user pressed the keys.
//
// Tokens are separated by single spaces. A token names one key, or is a
// chord "A+B" (A held while B is pressed and released). A name is one
// character (letter, digit or a punctuation key of the Japanese layout), two
// hexadecimal digits (a virtual-key code, read as strtol reads base 16), or
// one of the three-character names (ENT, ESC, F01 ... F12, NUM, ...). Names
// are not case-sensitive; a name that names no key gives code 0, which is
// sent like any other code.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Receives the key events of a macro in order.
class KeyEventSink {
public:
    virtual ~KeyEventSink() = default;
    virtual void Press(BYTE code) = 0;
    virtual void Release(BYTE code) = 0;
    // The pause after each token.
    virtual void Pause() = 0;
};

// The virtual-key code of one key field of at most four characters
// (upper-cased in place); 0 when it names no key.
int KeyNameToCode(char* field);

// Every name in the tables: the punctuation characters, then the
// three-character names, each table in the order of its codes. Letters and
// digits, which are their own codes, and the hexadecimal form are no table's.
std::vector<std::string> KeyNames();

// Reads the macro token by token and hands its key events to sink. A null
// text gives no events; an empty text is one empty token.
void PlayKeyMacro(const char* text, KeyEventSink& sink);

// Types the macro into the system's input stream (keybd_event), pausing
// 20 ms after each token. Returns when the last key has been sent.
void RunKeyMacro(const char* text);
