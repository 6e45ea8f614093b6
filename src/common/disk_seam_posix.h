// Test seam of the POSIX file layer: a disk with this many bytes left. While
// it is not negative, WriteDiskFile writes only what is left and then fails
// with ERROR_DISK_FULL (112), as a full disk does, so that tests can fill the
// disk in the middle of any file. -1, the default, is no limit; the program
// never sets it.
#pragma once
#include <stdint.h>

extern int64_t gDiskBytesLeft;

// While not 0, CloseDiskFile closes the file and then fails with this code, as
// a full quota or a network file system that reports its error at close does.
extern uint32_t gDiskCloseError;
