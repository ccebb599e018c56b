#pragma once
// Settings files in the Windows INI form: [section] lines and key=value lines, section
// and key names matched without regard to case, CRLF or LF line ends, an optional
// byte-order mark, values kept as bytes (paths may be in a Windows code page).
// Writes replace a value in place and keep every other line, comments and unknown
// sections included; a file is saved atomically (a new file, then a rename).
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace qorva {

class ProfileFile {
  public:
    // Settings files are small; a larger one is not one of ours.
    static constexpr size_t kMaxBytes = 1 << 20;
    // A missing file reads as an empty one. So does one that cannot be used (unreadable,
    // not a regular file, larger than kMaxBytes), and problem then says why.
    static ProfileFile load(const std::string& path, std::string* problem = nullptr);
    static ProfileFile parse(const std::string& text);
    bool exists() const { return existed_; }

    // The value of key in section, or fallback; at most size - 1 characters.
    std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                        const std::string& fallback, int size) const;
    // Sets key in section, adding the section or the key when they are missing.
    void WritePrivateProfileString(const std::string& section, const std::string& key,
                                   const std::string& value);
    // Every key=value of a section, in file order.
    std::vector<std::pair<std::string, std::string>> entries(const std::string& section) const;

    std::string text() const;
    // Writes beside the target, flushes to disk and renames over it: a crash leaves the
    // old file or the new one. False when the file cannot be written.
    bool save(const std::string& path) const;

  private:
    struct Located {
        int sectionLine = -1; // index of the [section] line, -1 when absent
        int keyLine = -1;     // index of the key line, -1 when absent
        int sectionEnd = 0;   // index after the section's last key line
    };
    Located locate(const std::string& section, const std::string& key) const;

    std::vector<std::string> lines_; // without line ends
    bool crlf_ = true;
    bool bom_ = false;
    bool existed_ = false;
};

} // namespace qorva
