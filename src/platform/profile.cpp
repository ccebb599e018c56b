#include "platform/profile.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <sstream>

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

} // namespace

ProfileFile ProfileFile::load(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    return parse({std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()});
}

ProfileFile ProfileFile::parse(const std::string& text) {
    ProfileFile file;
    std::string body = text.rfind("\xEF\xBB\xBF", 0) == 0 ? text.substr(3) : text;
    std::istringstream lines(body);
    std::string section;
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::string content = trimmed(line);
        if (content.empty() || content[0] == ';') continue;
        if (content[0] == '[') {
            const auto close = content.find(']');
            section = trimmed(
                content.substr(1, close == std::string::npos ? std::string::npos : close - 1));
            continue;
        }
        const auto equals = content.find('=');
        if (equals == std::string::npos) continue;
        file.lines_.push_back(
            {section, trimmed(content.substr(0, equals)), trimmed(content.substr(equals + 1))});
    }
    return file;
}

std::string ProfileFile::GetPrivateProfileString(const std::string& section, const std::string& key,
                                                 const std::string& fallback, int size) const {
    std::string value = fallback;
    for (const auto& line : lines_)
        if (sameName(line.section, section) && sameName(line.key, key)) {
            value = line.value;
            break;
        }
    if (size <= 0) return {};
    return value.substr(0, static_cast<size_t>(size - 1));
}

std::vector<std::pair<std::string, std::string>>
ProfileFile::entries(const std::string& section) const {
    std::vector<std::pair<std::string, std::string>> out;
    for (const auto& line : lines_)
        if (sameName(line.section, section)) out.emplace_back(line.key, line.value);
    return out;
}

} // namespace qorva
