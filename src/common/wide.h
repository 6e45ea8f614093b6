// The one place where our char16_t text meets the platform's wchar_t (Windows only).
#pragma once
#ifdef _WIN32
#include <wchar.h>
static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 wchar_t expected");
inline wchar_t* as_wcstr(char16_t* s) { return reinterpret_cast<wchar_t*>(s); }
inline const wchar_t* as_wcstr(const char16_t* s) { return reinterpret_cast<const wchar_t*>(s); }
inline char16_t* as_u16(wchar_t* s) { return reinterpret_cast<char16_t*>(s); }
inline const char16_t* as_u16(const wchar_t* s) { return reinterpret_cast<const char16_t*>(s); }
#endif
