#pragma once
// The real things of the system the program runs on, from the backend the build chose:
// the event loop in real time, its serial ports and its shell's open action.
#include "platform/event_loop.h"
#include "platform/serial_line.h"
#include "platform/shell_open.h"

#include <memory>

namespace qorva {

std::unique_ptr<EventLoop> MakeRealTimeEventLoop();
std::unique_ptr<SerialPorts> MakeSystemSerialPorts();
std::unique_ptr<ShellLauncher> MakeSystemLauncher();

} // namespace qorva
