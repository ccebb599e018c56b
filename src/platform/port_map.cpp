#include "platform/port_map.h"

#include <cctype>

namespace qorva {

std::string PortMap::pathFor(int ordinal) const {
    if (!every_.empty()) return every_;
    const auto it = paths_.find(ordinal);
    return it != paths_.end() ? it->second : DefaultDevicePath(ordinal);
}

void PortMap::assignFromEntry(const std::string& key, const std::string& path) {
    if (key.size() < 4 || key.size() > 5 || path.empty()) return;
    for (size_t i = 0; i < 3; ++i)
        if (std::toupper(static_cast<unsigned char>(key[i])) != "COM"[i]) return;
    int number = 0;
    for (size_t i = 3; i < key.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(key[i]))) return;
        number = number * 10 + (key[i] - '0');
    }
    if (number >= 1 && number <= 16) assign(number - 1, path);
}

} // namespace qorva
