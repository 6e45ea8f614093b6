#include "common/clock.h"

// Days since 1970-01-01 of a proleptic Gregorian date; days past a month's end
// simply run on into the next month, so any date word gives some instant.
static int64_t DaysFromCivil(int64_t year, int64_t month, int64_t day) {
    year -= month <= 2;
    const int64_t era = (year >= 0 ? year : year - 399) / 400;
    const int64_t yearOfEra = year - era * 400;
    const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

uint64_t LocalNoonToFileTime(uint16_t year, uint16_t month, uint16_t day) {
    const int64_t kUnixEpochIn1601Seconds = 11644473600LL;
    int64_t seconds = DaysFromCivil(year, month, day) * 86400 + 12 * 3600 + kUnixEpochIn1601Seconds;
    if (seconds < 0) seconds = 0;
    return LocalFileTimeToUtc(static_cast<uint64_t>(seconds) * 10000000u);
}
