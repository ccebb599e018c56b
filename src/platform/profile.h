#pragma once
// Settings files in the Windows INI form: [section] lines and key=value lines, names
// matched without regard to case, CRLF or LF line ends, an optional byte-order mark.
#include <string>
#include <utility>
#include <vector>

namespace qorva {

class ProfileFile {
  public:
    // An unreadable or missing file reads as an empty one.
    static ProfileFile load(const std::string& path);
    static ProfileFile parse(const std::string& text);

    // The value of key in section, or fallback; at most size - 1 characters.
    std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                        const std::string& fallback, int size) const;
    // Every key=value of a section, in file order.
    std::vector<std::pair<std::string, std::string>> entries(const std::string& section) const;

  private:
    struct Line {
        std::string section; // the section this line belongs to
        std::string key, value;
    };
    std::vector<Line> lines_;
};

} // namespace qorva
