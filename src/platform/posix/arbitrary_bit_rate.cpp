// The kernel's arbitrary bit-rate interface; kept apart because <asm/termbits.h>
// cannot be combined with <termios.h>.
#include <asm/ioctls.h>
#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace qorva {

bool SetArbitraryBitRate(int fd, int bitRate) {
    struct termios2 tio {};
    if (ioctl(fd, TCGETS2, &tio) != 0) return false;
    tio.c_cflag &= ~CBAUD;
    tio.c_cflag |= BOTHER;
    tio.c_ispeed = static_cast<speed_t>(bitRate);
    tio.c_ospeed = static_cast<speed_t>(bitRate);
    return ioctl(fd, TCSETS2, &tio) == 0;
}

} // namespace qorva
