#include "build_date.h"

#include <stdio.h>
#include <time.h>

#include "package/record_writer.h"

bool ParseIsoDate(const std::string& text, CalendarDate* date) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return false;
    for (size_t i : {0, 1, 2, 3, 5, 6, 8, 9})
        if (text[i] < '0' || text[i] > '9') return false;
    date->year = static_cast<uint32_t>(std::stoul(text.substr(0, 4)));
    date->month = static_cast<uint32_t>(std::stoul(text.substr(5, 2)));
    date->day = static_cast<uint32_t>(std::stoul(text.substr(8, 2)));
    return true;
}

CalendarDate UtcDateOfEpochSeconds(uint64_t seconds) {
    // Days to a proleptic Gregorian date, counted in 400-year eras from 0000-03-01.
    int64_t z = static_cast<int64_t>(seconds / 86400) + 719468;
    int64_t era = z / 146097;
    int64_t dayOfEra = z - era * 146097;
    int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    int64_t mp = (5 * dayOfYear + 2) / 153;
    CalendarDate date;
    date.day = static_cast<uint32_t>(dayOfYear - (153 * mp + 2) / 5 + 1);
    date.month = static_cast<uint32_t>(mp < 10 ? mp + 3 : mp - 9);
    date.year = static_cast<uint32_t>(yearOfEra + era * 400 + (date.month <= 2 ? 1 : 0));
    return date;
}

static CalendarDate LocalToday() {
    time_t now = time(nullptr);
    struct tm local = *localtime(&now);
    CalendarDate date;
    date.year = static_cast<uint32_t>(local.tm_year + 1900);
    date.month = static_cast<uint32_t>(local.tm_mon + 1);
    date.day = static_cast<uint32_t>(local.tm_mday);
    return date;
}

static bool ParseEpoch(const char* text, uint64_t* seconds) {
    std::string digits = text;
    if (digits.empty() || digits.size() > 15) return false;
    for (char c : digits)
        if (c < '0' || c > '9') return false;
    *seconds = std::stoull(digits);
    return true;
}

bool ChoosePackageDate(const std::string& option, const char* sourceDateEpoch, CalendarDate* date,
                       std::string* error, bool* usage) {
    *usage = false;
    std::string source;
    if (!option.empty()) {
        if (!ParseIsoDate(option, date)) {
            *error = "--date " + option + ": expected the form YYYY-MM-DD";
            *usage = true;
            return false;
        }
        source = "--date " + option;
    } else if (sourceDateEpoch && *sourceDateEpoch) {
        uint64_t seconds = 0;
        if (!ParseEpoch(sourceDateEpoch, &seconds)) {
            *error = std::string("SOURCE_DATE_EPOCH=") + sourceDateEpoch + " is not a number of seconds";
            return false;
        }
        *date = UtcDateOfEpochSeconds(seconds);
        source = std::string("SOURCE_DATE_EPOCH=") + sourceDateEpoch + " (" + FormatDate(*date) + ")";
    } else {
        *date = LocalToday();
        source = "today (" + FormatDate(*date) + ")";
    }
    if (IsValidPackageDate(date->year, date->month, date->day)) return true;
    bool early = date->year < kFirstDateYear;
    *error = source + (early ? ": a package cannot store dates before 2012-01-01" : ": no such calendar date");
    return false;
}

std::string FormatDate(const CalendarDate& date) {
    char text[32];
    snprintf(text, sizeof text, "%04u-%02u-%02u", date.year, date.month, date.day);
    return text;
}
