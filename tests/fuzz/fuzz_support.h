// What every fuzz target shares: a scratch folder of its own (in memory when
// it can be), text conversions, and an invariant check that ends the run as a
// finding, so libFuzzer keeps the input.
#pragma once
#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

namespace fuzz {

// Reads a fuzz input from the front, so that seeds are easy to write by hand:
// a value below a bound takes one byte (two when the bound is above 256), and
// a missing byte reads as 0.
struct Reader {
    Reader(const uint8_t* data, size_t size) : data(data), size(size) {}
    uint8_t Byte() { return at < size ? data[at++] : 0; }
    bool Bool() { return Byte() & 1; }
    uint32_t Below(uint32_t bound);  // bound at most 65536
    std::vector<uint8_t> Bytes(size_t count);
    std::vector<uint8_t> Rest() { return Bytes(size - at); }
    size_t Remaining() const { return size - at; }
    const uint8_t* data;
    size_t size;
    size_t at = 0;
};

// A folder for this process, made on first use and removed at exit; native path.
const std::string& Scratch();
// An empty folder below Scratch(), made afresh on every call.
std::string FreshFolder(const std::string& name);
std::vector<std::string> FolderEntries(const std::string& folder);  // sorted names
bool ReadWholeFile(const std::string& path, std::string* contents);

std::u16string U16(const std::string& utf8);  // for ASCII paths
std::string Utf8(const std::u16string& text);  // unpaired surrogates become U+FFFD

// Wide text from raw fuzz bytes, two per code unit, without zero units.
std::u16string WideFromBytes(const std::vector<uint8_t>& bytes);

// A name Windows stores as itself inside a folder, judged independently of the
// program's own rule so that a target can hold one against the other.
bool LooksPlain(const std::u16string& name);

// Ends the run with the message when the condition does not hold.
void Check(bool condition, const char* what);

}  // namespace fuzz
