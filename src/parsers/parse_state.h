#pragma once
#include <string>

namespace qorva {

// The text the parsers work on, shared with the pipeline: the working record of the other
// makers' parsers with the watchdog's two snapshots of it, and the plate reader's raw
// buffer, which the line assembly fills and the plate reader consumes.
struct ParseState {
    std::string RecBuf;
    std::string RecBufSeen;
    std::string RecBufStale;
    std::string RSbuffer = std::string(36, ' ');
};

} // namespace qorva
