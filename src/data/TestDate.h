#pragma once

#include <cstdint>
#include <ctime>
#include <stdexcept>
#include <string>

// The test date of a file is kept as the local time value of its midnight, as the instrument's
// software keeps it.

// The test date of a file is not a real date (year < 1900, month or day out of range, or a date
// the system cannot represent). The load is abandoned.
class InvalidTestDateError : public std::runtime_error {
public:
    InvalidTestDateError(int year, int month, int day);
    int year, month, day;
};

// The local time value of a date at 00:00:00, daylight saving as the system decides (a day past
// the month's end is carried into the next month). False when the system cannot represent it.
bool DateToTime(int year, int month, int day, int64_t& out);

// The local calendar time of a time value; false when the system cannot represent it.
bool LocalDate(int64_t timeValue, std::tm& out);

// "%Y-%m-%d" of a local time value.
std::string FormatTestDate(int64_t timeValue);
