// Which names a package may give a file or a folder of ours. The package comes
// over the internet; its names must never make Windows write anywhere but a
// plain file (or folder) of exactly that name inside the folder we chose.
#pragma once
#include <stdint.h>

// True when Windows stores `name` as itself, directly inside a folder: not
// empty, no separator, no drive or stream colon, no wildcard, quote, pipe or
// control character, no trailing dot or space (Windows drops them), and no
// device name such as CON, NUL, COM1 or LPT1, with or without an extension.
bool IsPlainFileName(const char16_t* name);

// Makes a name that stays one name inside its folder, for names the program
// composes paths from (the product name): separators, colons, wildcards,
// quotes, pipes and control characters become '_', and so does every
// character of a name made only of dots and spaces ("..", " "). Trailing dots
// and spaces elsewhere and device names are left: Windows drops the former,
// and the latter only make the creation fail. True when anything changed.
bool MakeSingleName(char16_t* name);
