#include "platform/profile.h"

#include "platform/file_store.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace qorva {

namespace {

std::string trimmed(const std::string& s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

bool sameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// "[name]" gives name; anything else is no section line.
bool sectionName(const std::string& line, std::string& name) {
    const std::string content = trimmed(line);
    if (content.empty() || content[0] != '[') return false;
    const auto close = content.find(']');
    name = trimmed(content.substr(1, close == std::string::npos ? std::string::npos : close - 1));
    return true;
}

bool keyLine(const std::string& line, std::string& key, std::string& value) {
    const std::string content = trimmed(line);
    if (content.empty() || content[0] == ';') return false;
    const auto equals = content.find('=');
    if (equals == std::string::npos) return false;
    key = trimmed(content.substr(0, equals));
    value = trimmed(content.substr(equals + 1));
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        value = value.substr(1, value.size() - 2);
    return true;
}

} // namespace

ProfileFile ProfileFile::load(const std::string& path, std::string* problem) {
    std::error_code ignored;
    if (!std::filesystem::exists(path, ignored)) return {};
    std::string why;
    const auto text = ReadRegularFile(path, kMaxBytes, why);
    if (!text) {
        if (problem) *problem = why;
        return {};
    }
    ProfileFile file = parse(*text);
    file.existed_ = true;
    return file;
}

ProfileFile ProfileFile::parse(const std::string& text) {
    ProfileFile file;
    size_t start = 0;
    if (text.rfind("\xEF\xBB\xBF", 0) == 0) {
        file.bom_ = true;
        start = 3;
    }
    file.crlf_ = text.find('\n') == std::string::npos || text.find("\r\n") != std::string::npos;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        file.lines_.push_back(std::move(line));
        start = end + 1;
    }
    return file;
}

ProfileFile::Located ProfileFile::locate(const std::string& section, const std::string& key) const {
    Located at;
    bool inSection = false;
    for (int i = 0; i < static_cast<int>(lines_.size()); ++i) {
        std::string name, k, v;
        if (sectionName(lines_[static_cast<size_t>(i)], name)) {
            if (inSection) return at; // the first section of that name counts
            inSection = sameName(name, section);
            if (inSection) at.sectionLine = i, at.sectionEnd = i + 1;
        } else if (inSection && keyLine(lines_[static_cast<size_t>(i)], k, v)) {
            at.sectionEnd = i + 1;
            if (at.keyLine < 0 && sameName(k, key)) at.keyLine = i;
        }
    }
    return at;
}

std::string ProfileFile::GetPrivateProfileString(const std::string& section, const std::string& key,
                                                 const std::string& fallback, int size) const {
    std::string value = fallback;
    const Located at = locate(section, key);
    if (at.keyLine >= 0) {
        std::string k;
        keyLine(lines_[static_cast<size_t>(at.keyLine)], k, value);
    }
    if (size <= 0) return {};
    return value.substr(0, static_cast<size_t>(size - 1));
}

void ProfileFile::WritePrivateProfileString(const std::string& section, const std::string& key,
                                            const std::string& value) {
    const Located at = locate(section, key);
    const std::string line = key + "=" + value;
    if (at.keyLine >= 0) {
        lines_[static_cast<size_t>(at.keyLine)] = line;
    } else if (at.sectionLine >= 0) {
        lines_.insert(lines_.begin() + at.sectionEnd, line);
    } else {
        lines_.push_back("[" + section + "]");
        lines_.push_back(line);
    }
}

std::vector<std::pair<std::string, std::string>>
ProfileFile::entries(const std::string& section) const {
    std::vector<std::pair<std::string, std::string>> out;
    bool inSection = false;
    for (const auto& line : lines_) {
        std::string name, key, value;
        if (sectionName(line, name))
            inSection = sameName(name, section);
        else if (inSection && keyLine(line, key, value))
            out.emplace_back(key, value);
    }
    return out;
}

std::string ProfileFile::text() const {
    std::string out = bom_ ? "\xEF\xBB\xBF" : "";
    for (const auto& line : lines_) out += line + (crlf_ ? "\r\n" : "\n");
    return out;
}

bool ProfileFile::save(const std::string& path) const {
    return ReplaceFileAtomically(path, text());
}

} // namespace qorva
