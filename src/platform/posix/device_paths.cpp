#include "platform/port_map.h"

namespace qorva {

// COM1 is the first on-board serial port, /dev/ttyS0.
std::string DefaultDevicePath(int ordinal) {
    return "/dev/ttyS" + std::to_string(ordinal);
}

} // namespace qorva
