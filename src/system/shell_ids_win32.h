// The three COM identities the shell-link code needs, written out here:
// taking them from MinGW's libuuid would bring its every identity along
// (1.6 KiB in each program).
#pragma once
#include <windows.h>

static const CLSID kShellLinkClass = {0x00021401, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
static const IID kShellLinkInterface = {0x000214F9, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
static const IID kPersistFileInterface = {0x0000010B, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
