#pragma once
#include <string>

namespace qorva {

// The working record shared by the other makers' parsers and the watchdog's snapshots.
struct ParseState {
    std::string RecBuf;
    std::string RecBufSeen;
    std::string RecBufStale;
};

} // namespace qorva
