// The package date: --date, else SOURCE_DATE_EPOCH (a UTC date), else today.
#pragma once
#include <stdint.h>

#include <string>

struct CalendarDate {
    uint32_t year = 0, month = 0, day = 0;
};

// Parses YYYY-MM-DD; false when the text has another form.
bool ParseIsoDate(const std::string& text, CalendarDate* date);
// The UTC calendar date of a count of seconds since 1970-01-01.
CalendarDate UtcDateOfEpochSeconds(uint64_t seconds);
// Picks the date as the options and the environment say; false with *error
// (and *usage when the form of --date is wrong) when it cannot be stored.
bool ChoosePackageDate(const std::string& option, const char* sourceDateEpoch, CalendarDate* date,
                       std::string* error, bool* usage);
std::string FormatDate(const CalendarDate& date);
