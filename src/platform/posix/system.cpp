#include "platform/system.h"

#include "platform/posix/posix_serial.h"
#include "platform/posix/real_time_event_loop.h"
#include "platform/posix/xdg_open_launcher.h"

namespace qorva {

std::unique_ptr<EventLoop> MakeRealTimeEventLoop() {
    return std::make_unique<RealTimeEventLoop>();
}

std::unique_ptr<SerialPorts> MakeSystemSerialPorts() {
    return std::make_unique<PosixSerialPorts>();
}

std::unique_ptr<ShellLauncher> MakeSystemLauncher() {
    return std::make_unique<XdgOpenLauncher>();
}

} // namespace qorva
