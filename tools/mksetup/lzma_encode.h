// Raw LZMA compression with the settings of every package mksetup writes.
#pragma once
#include <stddef.h>
#include <stdint.h>

#include <functional>
#include <string>

// Fills up to capacity bytes; answers how many (0 at the end) or -1 to abort.
using ByteSource = std::function<int64_t(uint8_t* buffer, size_t capacity)>;
// Takes the next compressed bytes; false aborts.
using ByteSink = std::function<bool(const uint8_t* bytes, size_t n)>;
// Told how many input bytes the encoder has taken so far.
using ProgressSink = std::function<void(uint64_t consumed)>;

enum : uint32_t { kPackageDictionarySize = 1u << 24 };
enum : int { kQuickestLevel = 0, kBestLevel = 9 };

// lc 3, lp 0, pb 2 and the 16 MiB dictionary: 5D 00 00 00 01.
void PackageLzmaProperties(uint8_t props[5]);

// Compresses all the source gives into one raw LZMA stream (no header); with
// the end marker when asked. Level 9 is the best ratio the encoder offers;
// lower levels trade size for time (a quicker match finder, shorter matches,
// at the lowest a smaller window). Every level keeps the properties above, so
// the installer reads them all alike. On failure
// *error says why (a source or sink that aborted leaves it to its caller).
bool EncodeLzmaStream(const ByteSource& source, const ByteSink& sink, const ProgressSink& progress, bool endMarker,
                      int level, std::string* error);
