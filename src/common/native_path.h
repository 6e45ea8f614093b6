// POSIX side of the platform seam: our UTF-16 paths as native UTF-8 paths.
#pragma once
#include <stdint.h>

enum : int32_t { kNativePathCapacity = 4096 };

// The Windows system error code of an errno value (2, 3, 5, 32, 112, 183, 206;
// 5 for anything else). native, when given, is the path the call failed on:
// a missing file whose folder is missing too is 3, not 2.
uint32_t WindowsCodeOfErrno(int error, const char* native);
// UTF-16 to UTF-8 with both separators turned into '/'; false (error 206) when too long.
bool ToNativePath(const char16_t* path, char* native);
// UTF-8 to UTF-16, always terminated; undecodable bytes become U+FFFD.
void FromNativeText(const char* native, char16_t* text, int32_t capacity);
// Absolute form with "." and ".." resolved lexically; false when it does not fit.
bool MakeAbsolutePath(const char16_t* path, char16_t* full, int32_t capacity);
// FindFirstFileW-style match: '*' and '?', ASCII letters without regard to case.
bool MatchesPattern(const char16_t* name, const char16_t* pattern);
