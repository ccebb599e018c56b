#include "platform/clock.h"

#include "platform/event_loop.h"

#include <chrono>
#include <clocale>
#include <cstdio>
#include <ctime>
#include <langinfo.h>

namespace qorva {

namespace {

using namespace std::chrono;

sys_seconds toSeconds(const LocalDateTime& t) {
    const sys_days day = year{t.year} / month{static_cast<unsigned>(t.month)} /
                         std::chrono::day{static_cast<unsigned>(t.day)};
    return day + hours{t.hour} + minutes{t.minute} + seconds{t.second};
}

bool isPatternLetter(char c) {
    return c == 'd' || c == 'M' || c == 'y' || c == 'h' || c == 'H' || c == 'm' || c == 's' ||
           c == 't';
}

std::string twoDigits(int v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d", v);
    return buf;
}

const char* const kMonthNames[] = {"January",   "February", "March",    "April",
                                   "May",       "June",     "July",     "August",
                                   "September", "October",  "November", "December"};
const char* const kDayNames[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                 "Thursday", "Friday", "Saturday"};

std::string field(char letter, size_t count, const LocalDateTime& t) {
    const auto digits = [count](int v) { return count >= 2 ? twoDigits(v) : std::to_string(v); };
    switch (letter) {
    case 'd':
        if (count <= 2) return digits(t.day);
        {
            const weekday wd{sys_days{floor<days>(toSeconds(t))}};
            const std::string name = kDayNames[wd.c_encoding()];
            return count == 3 ? name.substr(0, 3) : name;
        }
    case 'M':
        if (count <= 2) return digits(t.month);
        {
            const std::string name = kMonthNames[(t.month - 1) % 12];
            return count == 3 ? name.substr(0, 3) : name;
        }
    case 'y':
        if (count <= 2) return count == 1 ? std::to_string(t.year % 100) : twoDigits(t.year % 100);
        return std::to_string(t.year);
    case 'h':
        return digits(t.hour % 12 == 0 ? 12 : t.hour % 12);
    case 'H':
        return digits(t.hour);
    case 'm':
        return digits(t.minute);
    case 's':
        return digits(t.second);
    case 't': {
        const std::string marker = t.hour < 12 ? "AM" : "PM";
        return count == 1 ? marker.substr(0, 1) : marker;
    }
    }
    return {};
}

} // namespace

bool ParseDateTime(const std::string& text, LocalDateTime& out) {
    LocalDateTime t;
    char tail = 0;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%c", &t.year, &t.month, &t.day, &t.hour,
                    &t.minute, &t.second, &tail) != 6)
        return false;
    const year_month_day ymd{year{t.year}, month{static_cast<unsigned>(t.month)},
                             day{static_cast<unsigned>(t.day)}};
    if (!ymd.ok() || t.hour > 23 || t.minute > 59 || t.second > 59 || t.hour < 0 || t.minute < 0 ||
        t.second < 0)
        return false;
    out = t;
    return true;
}

LocalDateTime AddMilliseconds(const LocalDateTime& start, int64_t ms) {
    const sys_seconds moved = toSeconds(start) + seconds{ms / 1000};
    const sys_days day = floor<days>(moved);
    const year_month_day ymd{day};
    const hh_mm_ss clock{moved - day};
    LocalDateTime t;
    t.year = static_cast<int>(ymd.year());
    t.month = static_cast<int>(static_cast<unsigned>(ymd.month()));
    t.day = static_cast<int>(static_cast<unsigned>(ymd.day()));
    t.hour = static_cast<int>(clock.hours().count());
    t.minute = static_cast<int>(clock.minutes().count());
    t.second = static_cast<int>(clock.seconds().count());
    return t;
}

std::string FormatDateTime(const std::string& pattern, const LocalDateTime& when) {
    std::string out;
    for (size_t i = 0; i < pattern.size();) {
        const char c = pattern[i];
        if (c == '\'' || c == '"') {
            const size_t close = pattern.find(c, i + 1);
            const size_t end = close == std::string::npos ? pattern.size() : close;
            out += pattern.substr(i + 1, end - i - 1);
            i = end + 1;
            continue;
        }
        if (!isPatternLetter(c)) {
            out += c;
            ++i;
            continue;
        }
        size_t count = 1;
        while (i + count < pattern.size() && pattern[i + count] == c) ++count;
        out += field(c, count, when);
        i += count;
    }
    return out;
}

char SeparatorOf(const std::string& pattern) {
    for (char c : pattern)
        if (!isPatternLetter(c) && c != '\'' && c != '"' && c != ' ') return c;
    return 0;
}

LoopClock::LoopClock(const EventLoop& loop, LocalDateTime start, std::string dateFormat,
                     std::string timeFormat)
    : loop_(loop), start_(start), dateFormat_(std::move(dateFormat)),
      timeFormat_(std::move(timeFormat)) {}

LocalDateTime LoopClock::now() const {
    return AddMilliseconds(start_, loop_.now());
}

std::string PatternFromStrftime(const std::string& format, const std::string& fallback) {
    std::string out;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%') {
            out += format[i];
            continue;
        }
        if (++i >= format.size()) return fallback;
        switch (format[i]) {
        case 'd':
            out += "dd";
            break;
        case 'e':
            out += "d";
            break;
        case 'm':
            out += "MM";
            break;
        case 'b':
            out += "MMM";
            break;
        case 'B':
            out += "MMMM";
            break;
        case 'Y':
            out += "yyyy";
            break;
        case 'y':
            out += "yy";
            break;
        case 'H':
            out += "HH";
            break;
        case 'I':
            out += "hh";
            break;
        case 'M':
            out += "mm";
            break;
        case 'S':
            out += "ss";
            break;
        case 'p':
            out += "tt";
            break;
        case 'D':
            out += "MM/dd/yy";
            break;
        case 'T':
            out += "HH:mm:ss";
            break;
        case 'R':
            out += "HH:mm";
            break;
        case 'r':
            out += "hh:mm:ss tt";
            break;
        case '%':
            out += '%';
            break;
        default:
            return fallback;
        }
    }
    return out.empty() ? fallback : out;
}

SystemClock::SystemClock() {
    std::setlocale(LC_TIME, "");
    dateFormat_ = PatternFromStrftime(nl_langinfo(D_FMT), "dd.MM.yyyy");
    timeFormat_ = PatternFromStrftime(nl_langinfo(T_FMT), "HH:mm:ss");
}

LocalDateTime SystemClock::now() const {
    const std::time_t seconds = std::time(nullptr);
    std::tm local{};
    localtime_r(&seconds, &local);
    LocalDateTime t;
    t.year = local.tm_year + 1900;
    t.month = local.tm_mon + 1;
    t.day = local.tm_mday;
    t.hour = local.tm_hour;
    t.minute = local.tm_min;
    t.second = local.tm_sec;
    return t;
}

} // namespace qorva
