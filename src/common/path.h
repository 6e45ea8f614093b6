// Path pieces. Both '\' and '/' separate; the separator added is always '\'.
#pragma once
#include <stdint.h>
#include "common/text.h"

enum : int32_t { kPathCapacity = 1024 };

bool IsSeparator(char16_t c);
void AddTrailingSeparator(char16_t* path, int32_t capacity);
PathResult AppendPathPart(const char16_t* part, char16_t* path, int32_t capacity);
void CutToParentFolder(char16_t* path);
int32_t FileNamePosition(const char16_t* path);
// Full absolute form of a path held in 1024 places; unchanged on failure.
void NormalizeFullPath(char16_t* path);
