// File times of the package date. The offset of local time is the one in
// force now, as the installer's rules say, not the one of the date itself.
#pragma once
#include <stdint.h>

// Local calendar date at 12:00 local time, as a UTC file time.
uint64_t LocalNoonToFileTime(uint16_t year, uint16_t month, uint16_t day);
// A local file time (100 ns units since 1601) as UTC.
uint64_t LocalFileTimeToUtc(uint64_t localFileTime);
