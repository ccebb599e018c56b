#pragma once
// Real serial ports and pseudo-terminals through termios.
#include "platform/serial_line.h"

namespace qorva {

class PosixSerialPorts : public SerialPorts {
  public:
    std::unique_ptr<SerialLine> open(const std::string& device) override;
};

} // namespace qorva
