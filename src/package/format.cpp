#include "package/format.h"

// The program's own copy of the signature lies in its image, below offset
// 89999, where the search never looks.
const uint8_t kPackageSignature[4] = {0xA7, 0x3C, 0x5E, 0x91};

bool IsValidPackageDate(uint32_t year, uint32_t month, uint32_t day) {
    static const uint8_t kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < kFirstDateYear || year > 65535) return false;
    if (month < 1 || month > 12 || day < 1) return false;
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    uint32_t last = kDays[month - 1] + (month == 2 && leap ? 1 : 0);
    return day <= last;
}

uint32_t DateWord(uint32_t year, uint32_t month, uint32_t day) {
    return ((year - kFirstDateYear) * 12 + month) * 31 + day;
}

void SplitDateWord(uint32_t word, uint16_t* year, uint16_t* month, uint16_t* day) {
    uint32_t d = word % 31;
    uint32_t q = (word - d) / 31;
    if (d == 0) {
        d = 31;
        q -= 1;
    }
    uint32_t m = q % 12;
    if (m == 0) m = 12;
    *year = static_cast<uint16_t>((q - m) / 12 + kFirstDateYear);
    *month = static_cast<uint16_t>(m);
    *day = static_cast<uint16_t>(d);
}
