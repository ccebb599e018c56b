#pragma once
// How a line's settings become terminal attributes: a pure mapping, so it can be checked
// case by case where no real port is at hand.
#include "platform/serial_line.h"

#include <termios.h>

namespace qorva {

// The terminal attributes a line's settings ask for, made from the device's current ones:
// raw bytes, no echo, reads that never wait. One and a half stop bits read as two.
termios TermiosFor(const LineSettings& settings, termios current);
// The B-constant of a standard bit rate; 0 for a rate the kernel's arbitrary-rate
// interface must set.
speed_t StandardSpeed(int bitRate);

} // namespace qorva
