#pragma once
// The main window: builds its control tree and owns the components that the record
// pipeline, the key sink and the parsers are made of.
#include "output/key_sink.h"
#include "output/output_flags.h"
#include "parsers/parse_state.h"
#include "parsers/parsers.h"
#include "pipeline/record_pipeline.h"
#include "platform/beep.h"
#include "platform/clock.h"
#include "platform/controls.h"
#include "platform/event_loop.h"
#include "platform/keyboard.h"
#include "platform/port_map.h"
#include "platform/serial_line.h"
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
};

class TForm3;
class TForm4;

class TMainFrm {
  public:
    explicit TMainFrm(const PlatformServices& platform);

    EventLoop& loop;
    KeyboardPort& keyboard;
    const KeyLayout& layout;
    const ClockProvider& clock;
    Beeper& beeper;

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

    OutputFlags flags{*this};
    ParseState parseState;
    TCommPortDriver CommPortDriver1;
    KeySink keys{*this};
    Parsers parsers{*this};
    RecordPipeline pipeline{*this};

    // Typing is on exactly while START is disabled.
    bool running() const { return !Button3.Enabled; }
    void Button3Click();
    void Button4_XClick();
    void CommportClick();
    // The colour-order lookups: the flag of the colour at output place stelle, and how
    // many places before it have their colour's flag on.
    void Wo1(int& farb, int& davor, int stelle) const;
    void Wo2(int& farb, int& davor, int stelle) const;
    // The order dialogs, created after the main window.
    TForm3* Form3 = nullptr;
    TForm4* Form4 = nullptr;
    void BaudRateChange();
    void BitBtn12Click();

    static constexpr const char* kConnected = "Connected";
    static constexpr const char* kDisconnected = "Disconnected";
    static constexpr const char* kConnectError =
        "Error: could not connect. Check COM port settings and try again.";

  private:
    void wireEvents();
    TComPortBaudRate selectedBitRate() const;
    void selectChosenPort();
    void reportOpen(bool opened);
};

} // namespace qorva
