#include "data/TestDate.h"

InvalidTestDateError::InvalidTestDateError(int y, int m, int d)
    : std::runtime_error("invalid test date " + std::to_string(y) + "-" + std::to_string(m) + "-" + std::to_string(d)),
      year(y), month(m), day(d)
{
}

bool DateToTime(int year, int month, int day, int64_t& out)
{
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_isdst = -1;
    const std::time_t t = std::mktime(&tm);
    if (t == static_cast<std::time_t>(-1)) {
        return false;
    }
    out = static_cast<int64_t>(t);
    return true;
}

bool LocalDate(int64_t timeValue, std::tm& out)
{
    const std::time_t t = static_cast<std::time_t>(timeValue);
#ifdef _WIN32
    return localtime_s(&out, &t) == 0;
#else
    return localtime_r(&t, &out) != nullptr;
#endif
}

std::string FormatTestDate(int64_t timeValue)
{
    std::tm tm{};
    if (!LocalDate(timeValue, tm)) {
        return std::string();
    }
    char buf[32];
    const std::size_t len = std::strftime(buf, sizeof buf, "%Y-%m-%d", &tm);
    return std::string(buf, len);
}
