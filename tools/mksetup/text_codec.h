// Text conversions of the tool: the command line and the file system speak
// UTF-8, the package stores Windows-1252, the engine hands out UTF-16.
#pragma once
#include <string>

// Windows-1252 bytes of a UTF-8 text; false (with *bad set to the first
// character that has no byte, or "invalid UTF-8") when it cannot be held.
bool Utf8ToWindows1252(const std::string& utf8, std::string* ansi, std::string* bad);
std::string Windows1252ToUtf8(const std::string& ansi);

std::u16string Utf8ToUtf16(const std::string& utf8);  // invalid bytes become U+FFFD
std::string Utf16ToUtf8(const char16_t* text);
std::string Utf16ToUtf8(const std::u16string& text);

// The text as UTF-8 for a terminal: control characters (C0, DEL and C1), which
// a hostile package could use to steer the terminal, are shown as \xNN.
std::string Printable(const std::string& utf8);
