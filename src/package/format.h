// The package format, every number of it in one place: where the package
// starts, how numbers, names and bytes are stored in the decoded record
// stream, the checksum's term and the date word. The reader, the writer and
// the tools all take them from here.
#pragma once
#include <stdint.h>

enum : uint32_t {
    kSearchStart = 89999,      // first file offset the signature search looks at
    kStreamHeaderSize = 9,     // LZMA properties and the big-endian unpacked size (4)
    kLzmaPropertiesSize = 5,   // the stream header's first bytes: the decoder's properties
    kStoredNumberBias = 239,   // a stored number is the value plus this, big-endian
    kStringShift = 35,         // a stored name byte is the plain byte plus this
    kByteShift = 77,           // a plain file byte is the stored byte plus this
    kChecksumOrdinalBias = 10, // each byte of file i adds s + (i + 10) + b
    kSmallestDateWord = 32,    // 1 January 2012
    kFirstDateYear = 2012
};

// Positions in the installer file are signed 32-bit distances: a package
// counts only when its stream header lies wholly below this.
constexpr uint64_t kAddressableLimit = 0x80000000u;
// The unpacked size is a 32-bit number: a record stream stays below this.
constexpr uint64_t kStreamLimit = 0x100000000ull;

// (221 + 35) mod 256 is the stored strings' terminator: a text holding the
// byte 221 would end early, so no stored string may hold it.
constexpr uint8_t kUnstorableTextByte = static_cast<uint8_t>(256 - kStringShift);

extern const uint8_t kPackageSignature[4];  // A7 3C 5E 91

inline uint32_t ReadBigEndian32(const uint8_t* bytes) {
    return (static_cast<uint32_t>(bytes[0]) << 24) | (static_cast<uint32_t>(bytes[1]) << 16) |
           (static_cast<uint32_t>(bytes[2]) << 8) | bytes[3];
}

inline void WriteBigEndian32(uint32_t value, uint8_t* bytes) {
    for (int k = 0; k < 4; ++k) bytes[k] = static_cast<uint8_t>(value >> (24 - 8 * k));
}

inline uint32_t ReadStoredNumber(const uint8_t* bytes) { return ReadBigEndian32(bytes) - kStoredNumberBias; }
inline void WriteStoredNumber(uint32_t value, uint8_t* bytes) { WriteBigEndian32(value + kStoredNumberBias, bytes); }

// The first byte of a stored name as a signed number (0 for an empty name).
inline int32_t FirstNameByte(const char* ansiName) {
    return ansiName ? static_cast<int8_t>(static_cast<uint8_t>(ansiName[0])) : 0;
}

// What every byte of a file adds to the checksum besides its own value, from
// the first byte of the file's name and the file's ordinal (the first is 1).
inline uint32_t ChecksumByteTerm(int32_t firstNameByte, uint32_t ordinal) {
    return static_cast<uint32_t>(firstNameByte) + ordinal + kChecksumOrdinalBias;
}

// True for a real calendar date from 1 January 2012 up to the year 65535.
bool IsValidPackageDate(uint32_t year, uint32_t month, uint32_t day);
// ((year - 2012) * 12 + month) * 31 + day; only meaningful for a valid date.
uint32_t DateWord(uint32_t year, uint32_t month, uint32_t day);
// The calendar date of a date word. Words that name no real date still give
// some year, month and day (days past a month's end run on into the next).
void SplitDateWord(uint32_t word, uint16_t* year, uint16_t* month, uint16_t* day);
