#include "shell/memory_world.h"

namespace qorva {

MemoryPlatform::MemoryPlatform(const MemoryWorldSettings& settings)
    : clock(loop, settings.now, settings.dateFormat, settings.timeFormat),
      sheet(settings.origin, settings.decimalSeparator),
      captionFont_(settings.captionFont ? *settings.captionFont : blankFont_),
      pictureTemplates_(settings.pictureTemplates) {
    keyboard.add(sheet);
    if (settings.keepTrace) keyboard.add(trace_);
    line(0);
}

PlatformServices MemoryPlatform::services() {
    return services(serialPorts);
}

PlatformServices MemoryPlatform::services(SerialPorts& ports) {
    return {loop,    keyboard, layout,    clock,        ports,
            portMap, beeper,   clipboard, captionFont_, pictureTemplates_};
}

MemorySerialPorts::Device& MemoryPlatform::line(int ordinal) {
    return serialPorts.device(portMap.pathFor(ordinal));
}

std::string MemoryPlatform::takeTrace() {
    std::istringstream lines(traceText_.str());
    traceText_.str("");
    std::string joined;
    for (std::string line; std::getline(lines, line);)
        joined += (joined.empty() ? "" : "; ") + line;
    return joined;
}

std::string MemoryPlatform::grid() {
    sheet.finish();
    return sheet.csv();
}

MemoryProgram::MemoryProgram(const MemoryWorldSettings& settings)
    : MemoryPlatform(settings), frm(services()) {}

void MemoryProgram::deliver(const std::string& bytes) {
    frm.pipeline.CommPortDriver1ReceiveData(bytes.data(), static_cast<int>(bytes.size()));
}

} // namespace qorva
