#pragma once
// Local date and time with the user's short date and long time formats. Formats use
// the Windows pattern letters (d, M, y, h, H, m, s, t); every other character is a
// literal, and the first literal of a format is its separator.
#include <cstdint>
#include <string>

namespace qorva {

class EventLoop;

struct LocalDateTime {
    int year = 2000, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};

// Parses "YYYY-MM-DD HH:MM:SS"; false on anything else or an impossible date.
bool ParseDateTime(const std::string& text, LocalDateTime& out);
// Adds milliseconds (whole seconds count) to a date and time, across days and years.
LocalDateTime AddMilliseconds(const LocalDateTime& start, int64_t ms);
std::string FormatDateTime(const std::string& pattern, const LocalDateTime& when);
char SeparatorOf(const std::string& pattern);

class ClockProvider {
  public:
    virtual ~ClockProvider() = default;
    virtual LocalDateTime now() const = 0;
    virtual std::string shortDateFormat() const = 0;
    virtual std::string longTimeFormat() const = 0;
    char dateSeparator() const { return SeparatorOf(shortDateFormat()); }
    char timeSeparator() const { return SeparatorOf(longTimeFormat()); }
};

// A fixed start time that advances with the event loop's clock (virtual or real).
class LoopClock : public ClockProvider {
  public:
    LoopClock(const EventLoop& loop, LocalDateTime start, std::string dateFormat = "dd.MM.yyyy",
              std::string timeFormat = "HH:mm:ss");
    LocalDateTime now() const override;
    std::string shortDateFormat() const override { return dateFormat_; }
    std::string longTimeFormat() const override { return timeFormat_; }

  private:
    const EventLoop& loop_;
    LocalDateTime start_;
    std::string dateFormat_, timeFormat_;
};

// The machine's local time and the user's locale formats (LC_TIME).
class SystemClock : public ClockProvider {
  public:
    SystemClock();
    LocalDateTime now() const override;
    std::string shortDateFormat() const override { return dateFormat_; }
    std::string longTimeFormat() const override { return timeFormat_; }

  private:
    std::string dateFormat_, timeFormat_;
};

// Turns a C library format ("%d.%m.%Y") into the pattern letters ("dd.MM.yyyy").
std::string PatternFromStrftime(const std::string& format, const std::string& fallback);

} // namespace qorva
