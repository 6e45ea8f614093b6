// Shell link (.lnk) files of our own making, in the public [MS-SHLLINK]
// layout, for platforms without the shell-link object. A link carries what
// ours always carry: the target, the working directory and the show command.
#pragma once
#include <stdint.h>

enum : uint32_t {
    kShellLinkCapacity = 8192,  // enough for a 1023-character target and working directory
    kShowCommandShow = 5        // SW_SHOW
};

// The link's bytes into link; their count, or 0 when the target is empty or
// the link does not fit in capacity.
uint32_t BuildShellLink(const char16_t* target, const char16_t* workingDirectory, uint32_t showCommand,
                        uint8_t* link, uint32_t capacity);

// The target of a link's bytes: LinkInfo's local base path (the Unicode form
// when the link has one, else the ANSI one widened) and its common path
// suffix. False, with an empty target, when the link has no local target or
// its fields point outside the bytes.
bool ReadShellLinkTarget(const uint8_t* link, uint32_t count, char16_t* target, int32_t capacity);
