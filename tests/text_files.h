#pragma once
// Whole files as text, for tests.
#include <fstream>
#include <sstream>
#include <string>

namespace qorva::test {

inline void writeText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

inline std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace qorva::test
