// A folder made with every missing parent.
#pragma once
#include <stdint.h>

// 0 created; 2 failed (an existing folder included) or the parent chain reached a
// path of fewer than 4 characters; 3 parents made but the folder itself failed.
int32_t CreateFolderTree(const char16_t* path);
