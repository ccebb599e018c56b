#pragma once
// The main window: builds its control tree and owns the components that the record
// pipeline, the key sink and the parsers are made of.
#include "output/key_sink.h"
#include "output/output_flags.h"
#include "output/picture_paste.h"
#include "parsers/colour_places.h"
#include "parsers/parse_state.h"
#include "parsers/parsers.h"
#include "pipeline/record_pipeline.h"
#include "platform/beep.h"
#include "platform/clock.h"
#include "platform/controls.h"
#include "platform/event_loop.h"
#include "platform/fault_log.h"
#include "platform/keyboard.h"
#include "platform/picture_services.h"
#include "platform/port_map.h"
#include "platform/serial_line.h"
#include "platform/window_system.h"
#include "serial/ComDrv32.h"

namespace qorva {

// What the main window takes from the platform.
struct PlatformServices {
    EventLoop& loop;
    KeyboardPort& keyboard;
    const KeyLayout& layout;
    const ClockProvider& clock;
    SerialPorts& serialPorts;
    const PortMap& portMap;
    Beeper& beeper;
    // The plate reader's pictures: the clipboard, the caption font, and where the
    // template empty.bmp is looked for, in order.
    PictureClipboard& clipboard;
    const CaptionFont& captionFont;
    std::vector<std::string> pictureTemplates;
    // The desktop's windows and dialogs; none for a run without a window.
    WindowSystem* windows = nullptr;
};

// Member order matters: members are built in the order they are declared, and each
// component takes references to what stands above it. The controls come first (the
// output flags add their boxes to the form), then the shared parse state and the fault
// log, then the components in the order key sink, parsers, pipeline, each built from a
// narrow context of the controls and components it reads.
class TMainFrm {
  public:
    explicit TMainFrm(const PlatformServices& platform);

    EventLoop& loop;
    KeyboardPort& keyboard;
    const KeyLayout& layout;
    const ClockProvider& clock;
    Beeper& beeper;

  private:
    NoWindows noWindows_;

  public:
    WindowSystem& windows;

    TForm form{"MainFrm"};

    TButton& Button3;
    TButton& Button4;
    TPageControl& PageControl1;
    TTabSheet& TabSheet1;
    TRadioGroup& Commport;
    TLabel& CommportPath;
    TLabel& Label2;
    TComboBox& BaudRate;
    TButton& BitBtn12;
    TMemo& RSMemo;
    TTabSheet& TabSheet2;
    TRadioGroup& Ausgabeart;
    TRadioGroup& Notation;
    TCheckBox& Datumaus;
    TCheckBox& Zeitaus;
    TCheckBox& Burst;
    TTabSheet& TabSheet3;
    TPageControl& Manufacturer;
    TTabSheet& TALMO;
    TPageControl& TALMOPages;
    TTabSheet& VARNIKPage;
    TTabSheet& LUMAPage;
    TTabSheet& ThirdParty;
    TPageControl& densito;
    TTabSheet& Blatt1;
    TTabSheet& Blatt2;
    TTabSheet& Blatt3;
    TTabSheet& Blatt4;
    TTabSheet& Blatt5;
    TStatusBar& StatusBar1;
    TLabel& Label5;
    TRadioButton& CTRLV;
    TRadioButton& SHIFTEINFG;
    TButton& SWPrgst;
    TButton& F4Prgst;
    TButton& F7Prgst;
    TButton& VCPrgst;
    TTimer& ParseTimer;
    TTimer& Watchdog;
    TTimer& Timer4;
    TMainMenu& MainMenu1;
    TMenuItem& Settings1;
    TMenuItem& Interface1;
    TMenuItem& CopyPasteSettings1;
    TMenuItem& DeviceSettings1;
    TMenuItem& Help1;
    TMenuItem& Exit1;
    TButton& BitBtn1;
    TButton& Infobtn;
    TButton& Startoptioneinst;
    TButton& BitBtn11;
    TButton& Clear;
    TMemo& RxMemo;
    TButton& BitBtn3;
    TButton& BitBtn4;
    TButton& BitBtn2;
    TButton& BitBtn5;
    TButton& BitBtn6;
    TButton& BitBtn7;
    TButton& BitBtn8;
    TButton& BitBtn9;
    TButton& BitBtn10;

    OutputFlags flags{form};
    ParseState parseState;
    FaultLog faults;
    TCommPortDriver CommPortDriver1;
    // The order dialogs, made after the main window, set their orders here.
    ColourPlaces colourPlaces{flags};
    KeySink keys{
        KeySinkContext{keyboard, layout, loop, clock, Ausgabeart, Notation, Datumaus, Zeitaus}};
    PicturePaste pictures;
    Parsers parsers{parserContext()};
    RecordPipeline pipeline{PipelineContext{RSMemo, Button3, Burst, Manufacturer, TALMOPages,
                                            densito, loop, parseState, parsers, faults}};

    // What every set of parsers reads (the window's own, or one a test puts in its place).
    ParserContext parserContext() {
        return {parseState, keys,    flags,  loop,     colourPlaces,
                TALMOPages, densito, Timer4, pictures, StatusBar1};
    }
    // Typing is on exactly while START is disabled.
    bool running() const { return pipeline.running(); }
    void Button3Click();
    void Button4_XClick();
    void CommportClick();
    void BaudRateChange();
    void BitBtn12Click();
    void ClearClick();
    // Saves the monitor to a file the user chooses; a file that cannot be written is
    // reported with its name and the system's reason, and the monitor stays as it is.
    void BitBtn11Click();
    void BitBtn1Click();
    void Interface1Click();
    void CopyPasteSettings1Click();
    void DeviceSettings1Click();

    static constexpr const char* kConnected = "Connected";
    static constexpr const char* kDisconnected = "Disconnected";
    static constexpr const char* kConnectError =
        "Error: could not connect. Check COM port settings and try again.";
    static constexpr const char* kMonitorFilter = "Text file *.txt|*.txt|All files *.*|*.*";

  private:
    void wireEvents();
    TComPortBaudRate selectedBitRate() const;
    void selectChosenPort();
    void reportOpen(bool opened);
};

} // namespace qorva
