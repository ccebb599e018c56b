#pragma once
// Real serial ports and pseudo-terminals through termios.
#include "platform/serial_line.h"

namespace qorva {

class PosixSerialPorts : public SerialPorts {
  public:
    std::unique_ptr<SerialLine> open(const std::string& device) override;
    std::string openFailure() const override { return openFailure_; }

  private:
    std::string openFailure_;
};

} // namespace qorva
