#pragma once
// The program in memory and virtual time, as the tests, the benchmark and the replay
// tool run it: a virtual event loop with a clock that follows it, the fixed US layout,
// a sheet preview behind a keyboard tee (a trace and spies join it), in-memory serial
// devices with their port map, and a beeper that records.
#include "platform/beep.h"
#include "platform/clock.h"
#include "platform/event_loop.h"
#include "platform/keyboard.h"
#include "platform/picture_services.h"
#include "platform/port_map.h"
#include "platform/serial_line.h"
#include "platform/sheet_preview.h"
#include "shell/main_frm.h"

#include <sstream>
#include <string>
#include <vector>

namespace qorva {

struct MemoryWorldSettings {
    LocalDateTime now; // where the clock starts
    std::string dateFormat = "dd.MM.yyyy", timeFormat = "HH:mm:ss";
    CellRef origin; // the sheet preview's first cell
    char decimalSeparator = '.';
    bool keepTrace = false; // every key event also goes to a trace in memory
    // Where the plate reader's template is looked for; the caption font (none: captions
    // are left blank).
    std::vector<std::string> pictureTemplates = PicturePaste::defaultTemplates();
    const CaptionFont* captionFont = nullptr;
};

class MemoryPlatform {
  public:
    // COM1 is there, so START connects.
    explicit MemoryPlatform(const MemoryWorldSettings& settings = {});
    MemoryPlatform(const MemoryPlatform&) = delete;
    MemoryPlatform& operator=(const MemoryPlatform&) = delete;

    VirtualEventLoop loop;
    LoopClock clock;
    UsKeyLayout layout;
    SheetPreview sheet;
    TeeKeyboard keyboard; // the sheet preview, the trace when kept, and whatever joins
    MemorySerialPorts serialPorts;
    PortMap portMap;
    RecordingBeeper beeper;
    RecordingClipboard clipboard;

    PlatformServices services();
    // The same with other serial ports (real ones, for tests on a pseudo-terminal).
    PlatformServices services(SerialPorts& ports);
    // The in-memory device behind port number ordinal (0 is COM1).
    MemorySerialPorts::Device& line(int ordinal);
    // The kept trace so far, events separated by "; ", and start a new one.
    std::string takeTrace();
    // The sheet preview as CSV, the cell being edited committed.
    std::string grid();

  private:
    BlankCaptionFont blankFont_;
    const CaptionFont& captionFont_;
    std::vector<std::string> pictureTemplates_;
    std::ostringstream traceText_;
    TraceKeyboard trace_{traceText_};
};

// The main window on that platform.
class MemoryProgram : public MemoryPlatform {
  public:
    explicit MemoryProgram(const MemoryWorldSettings& settings = {});

    TMainFrm frm;

    // Hands bytes to the program as the serial component does.
    void deliver(const std::string& bytes);
};

} // namespace qorva
