#include "shell/main_frm.h"

#include "shell/monitor_file.h"

namespace qorva {

namespace {

template <class T> T& built(T& control, const char* caption, const char* hint = "") {
    control.setCaption(caption);
    control.setHint(hint);
    return control;
}

TRadioGroup& radioGroup(TRadioGroup& group, std::vector<std::string> items, int itemIndex) {
    group.setItems(std::move(items));
    group.setItemIndex(itemIndex);
    return group;
}

std::vector<std::string> portItems() {
    std::vector<std::string> items;
    for (int n = 1; n <= 15; ++n) items.push_back(std::to_string(n));
    return items;
}

TComboBox& bitRateList(TComboBox& list) {
    list.setItems({"  1200", "  2400", "  4800", "  9600", "  14400", "  19200", "  38400",
                   "  57600", "  115200"});
    list.setText("9600 (Default)");
    return list;
}

constexpr TComPortBaudRate kBitRateOfItem[] = {br1200,  br2400,  br4800,  br9600,  br14400,
                                               br19200, br38400, br57600, br115200};

} // namespace

TMainFrm::TMainFrm(const PlatformServices& platform)
    : loop(platform.loop), keyboard(platform.keyboard), layout(platform.layout),
      clock(platform.clock), beeper(platform.beeper),
      windows(platform.windows ? *platform.windows : noWindows_),
      Button3(built(form.add<TButton>("Button3", nullptr), "START")),
      Button4(built(form.add<TButton>("Button4", nullptr), "STOP")),
      PageControl1(form.add<TPageControl>("PageControl1", nullptr)),
      TabSheet1(built(form.add<TTabSheet>("TabSheet1", &PageControl1), "Interface")),
      Commport(radioGroup(built(form.add<TRadioGroup>("Commport", &TabSheet1), "Comm Port",
                                "Mit MOLDRIX verbundener Port"),
                          portItems(), 0)),
      CommportPath(form.add<TLabel>("CommportPath", &TabSheet1)),
      Label2(built(form.add<TLabel>("Label2", &TabSheet1), "BAUD RATE")),
      BaudRate(bitRateList(
          built(form.add<TComboBox>("BaudRate", &TabSheet1), "", "Baud Rate einstellen"))),
      BitBtn12(built(form.add<TButton>("BitBtn12", &TabSheet1), "Connect")),
      RSMemo(form.add<TMemo>("RSMemo", &TabSheet1)),
      TabSheet2(built(form.add<TTabSheet>("TabSheet2", &PageControl1), "Copy Paste Settings")),
      Ausgabeart(radioGroup(
          built(form.add<TRadioGroup>("Ausgabeart", &TabSheet2), "Neue Messung in",
                "Ausgabe des nächsten Meßwertes in neue Zeile, Spalte, Zeilen mit Tabsprung "
                "oder nächstes Tab-Feld"),
          {"Neue Zeile", "Neue Spalte", "Neue Z. >TAB", "Nächstes Tab-Feld"}, 0)),
      Notation(radioGroup(built(form.add<TRadioGroup>("Notation", &TabSheet2), "Notation",
                                "Ausgabeformat für gebrochen rationale Zahlen"),
                          {"English: 1.25", "Deutsch: 1,25", "Automatisch"}, 2)),
      Datumaus(built(form.add<TCheckBox>("Datumaus", &TabSheet2), "Datumausgabe",
                     "Ausgabe des Datums in ein eigenes Feld")),
      Zeitaus(built(form.add<TCheckBox>("Zeitaus", &TabSheet2), "Zeitausgabe",
                    "Ausgabe der aktuellen Messzeit in ein eigenes Feld")),
      Burst(built(form.add<TCheckBox>("Burst", &TabSheet2), "Burst",
                  "Gespeicherte Messungen ohne Wartezeit nacheinander ausgeben")),
      TabSheet3(built(form.add<TTabSheet>("TabSheet3", &PageControl1), "Device Setting")),
      Manufacturer(form.add<TPageControl>("Manufacturer", &TabSheet3)),
      TALMO(built(form.add<TTabSheet>("TALMO", &Manufacturer), "TALMO")),
      TALMOPages(form.add<TPageControl>("TALMOPages", &TALMO)),
      VARNIKPage(built(form.add<TTabSheet>("VARNIKPage", &TALMOPages), "VARNIK deltaE")),
      LUMAPage(built(form.add<TTabSheet>("LUMAPage", &TALMOPages), "LUMA")),
      ThirdParty(built(form.add<TTabSheet>("ThirdParty", &Manufacturer), "Third Party Devices")),
      densito(form.add<TPageControl>("densito", &ThirdParty)),
      Blatt1(built(form.add<TTabSheet>("Blatt1", &densito), "Moldrix 11,12,13,14; Sorvalin")),
      Blatt2(built(form.add<TTabSheet>("Blatt2", &densito), "MOLDRIX 21,22,23,24,25,Q9,(Q3)")),
      Blatt3(built(form.add<TTabSheet>("Blatt3", &densito), "    MOLDRIX 7000    ")),
      Blatt4(built(form.add<TTabSheet>("Blatt4", &densito), "  PLAXEN  ")),
      Blatt5(built(form.add<TTabSheet>("Blatt5", &densito), "MOLDRIX Q5/Q3/Q2/QX")),
      StatusBar1(form.add<TStatusBar>("StatusBar1", nullptr)),
      Label5(built(form.add<TLabel>("Label5", &Blatt4), "Bild einfügen mit:")),
      CTRLV(built(form.add<TRadioButton>("CTRLV", &Blatt4), "CTRL +  V")),
      SHIFTEINFG(built(form.add<TRadioButton>("SHIFTEINFG", &Blatt4), "SHIFT + EINFG")),
      SWPrgst(built(form.add<TButton>("SWPrgst", &Blatt1), "Prg/Filestart")),
      F4Prgst(built(form.add<TButton>("F4Prgst", &Blatt2), "Prg/Filestart")),
      F7Prgst(built(form.add<TButton>("F7Prgst", &Blatt3), "Öffne MX7000-file")),
      VCPrgst(built(form.add<TButton>("VCPrgst", &Blatt4), "Öffne PLAXEN-file")),
      ParseTimer(form.add<TTimer>("ParseTimer", nullptr, loop, 100)),
      Watchdog(form.add<TTimer>("Watchdog", nullptr, loop, 3000)),
      Timer4(form.add<TTimer>("Timer4", nullptr, loop, 1000)),
      MainMenu1(form.add<TMainMenu>("MainMenu1", nullptr)),
      Settings1(built(form.add<TMenuItem>("Settings1", &MainMenu1), "Settings")),
      Interface1(built(form.add<TMenuItem>("Interface1", &Settings1), "Interface")),
      CopyPasteSettings1(
          built(form.add<TMenuItem>("CopyPasteSettings1", &Settings1), "Copy&Paste Settings")),
      DeviceSettings1(built(form.add<TMenuItem>("DeviceSettings1", &Settings1), "Device Settings")),
      Help1(built(form.add<TMenuItem>("Help1", &MainMenu1), "Help")),
      Exit1(built(form.add<TMenuItem>("Exit1", &MainMenu1), "Exit")),
      BitBtn1(built(form.add<TButton>("BitBtn1", nullptr), "Schließen", "Exit MAUDEX")),
      Infobtn(built(form.add<TButton>("Infobtn", nullptr), "&Manual")),
      Startoptioneinst(
          built(form.add<TButton>("Startoptioneinst", nullptr), "StartOpt.", "Startoption")),
      BitBtn11(built(form.add<TButton>("BitBtn11", &TabSheet1), "Save")),
      Clear(built(form.add<TButton>("Clear", &TabSheet1), "Clear")),
      RxMemo(form.add<TMemo>("RxMemo", &TabSheet1)),
      BitBtn3(built(form.add<TButton>("BitBtn3", &Blatt2), "KONFIGURIEREN")),
      BitBtn4(built(form.add<TButton>("BitBtn4", &Blatt3), "KONFIGURIEREN")),
      BitBtn2(built(form.add<TButton>("BitBtn2", &Blatt5), "Konfigurieren")),
      BitBtn5(built(form.add<TButton>("BitBtn5", &Blatt5), "Prg/Filestart")),
      BitBtn6(built(form.add<TButton>("BitBtn6", &Blatt5), "Prg/File wählen",
                    "welche mit \"Prg/Filestart\" geöffnet wird")),
      BitBtn7(built(form.add<TButton>("BitBtn7", &Blatt1), "Prg/File wählen",
                    "welche mit \"Prg/Filestart\" geöffnet wird")),
      BitBtn8(built(form.add<TButton>("BitBtn8", &Blatt2), "Prg/File wählen",
                    "welche mit \"Prg/Filestart\" geöffnet wird")),
      BitBtn9(built(form.add<TButton>("BitBtn9", &Blatt3), "Wähle das file",
                    "welche mit \"Öffne MX7000-file\" geöffnet wird")),
      BitBtn10(built(form.add<TButton>("BitBtn10", &Blatt4), "Wähle PLAXEN-file",
                     "welche mit \"Öffne PLAXEN-file\" geöffnet wird")),
      CommPortDriver1(loop, platform.serialPorts, platform.portMap),
      pictures(PicturePasteContext{keys, keyboard, platform.clipboard, platform.captionFont, clock,
                                   Datumaus, Zeitaus, CTRLV, StatusBar1, faults,
                                   platform.pictureTemplates}) {
    form.setCaption("QORVA v01.22");
    Commport.Columns = 3;
    Manufacturer.TabsOnRight = true;
    densito.MultiLine = true;
    Button4.setEnabled(false);
    PageControl1.setActivePageIndex(2);
    CommPortDriver1.setComPort(pnCOM1);
    SHIFTEINFG.setChecked(true);
    // Built but never shown: the manual and start-option buttons, the second monitor,
    // the launch buttons and the PFI page's order button.
    for (TControl* hidden : std::initializer_list<TControl*>{
             &Infobtn, &Startoptioneinst, &RxMemo, &SWPrgst, &F4Prgst, &F7Prgst, &VCPrgst, &BitBtn2,
             &BitBtn5, &BitBtn6, &BitBtn7, &BitBtn8, &BitBtn9, &BitBtn10})
        hidden->setVisible(false);
    CommportPath.setCaption(CommPortDriver1.DevicePath());
    wireEvents();
    ParseTimer.setEnabled(true);
    Watchdog.setEnabled(true);
}

void TMainFrm::wireEvents() {
    Button3.OnClick = [this] { Button3Click(); };
    Button4.OnClick = [this] { Button4_XClick(); };
    ParseTimer.OnTimer = [this] { pipeline.ParseTimerTimer(); };
    Watchdog.OnTimer = [this] { pipeline.WatchdogTimer(); };
    Timer4.OnTimer = [this] { pipeline.Timer4Timer(); };
    Commport.OnClick = [this] { CommportClick(); };
    BaudRate.OnChange = [this] { BaudRateChange(); };
    BitBtn12.OnClick = [this] { BitBtn12Click(); };
    Clear.OnClick = [this] { ClearClick(); };
    BitBtn11.OnClick = [this] { BitBtn11Click(); };
    BitBtn1.OnClick = [this] { BitBtn1Click(); };
    Exit1.OnClick = [this] { BitBtn1Click(); };
    Interface1.OnClick = [this] { Interface1Click(); };
    CopyPasteSettings1.OnClick = [this] { CopyPasteSettings1Click(); };
    DeviceSettings1.OnClick = [this] { DeviceSettings1Click(); };
    CommPortDriver1.OnReceiveData = [this](TCommPortDriver*, const char* DataPtr,
                                           int32_t DataSize) {
        pipeline.CommPortDriver1ReceiveData(DataPtr, DataSize);
    };
    CommPortDriver1.OnSettingsRefused = [this](const std::string& device) {
        faults.report("the line settings were refused by " + device);
    };
    for (TTabSheet* page : {&Blatt1, &Blatt2, &Blatt3, &Blatt4, &Blatt5})
        page->OnEnter = [this] { pipeline.BlattEnter(); };
}

TComPortBaudRate TMainFrm::selectedBitRate() const {
    const int item = BaudRate.ItemIndex();
    return item >= 0 ? kBitRateOfItem[item] : br9600;
}

// Port number i + 1 for item i; with no item chosen the component keeps its port.
void TMainFrm::selectChosenPort() {
    if (Commport.ItemIndex() >= 0)
        CommPortDriver1.setComPort(static_cast<TComPortNumber>(Commport.ItemIndex()));
    CommportPath.setCaption(CommPortDriver1.DevicePath());
}

void TMainFrm::reportOpen(bool opened) {
    StatusBar1.setSimpleText(opened ? kConnected : kConnectError);
    if (!opened) beeper.MessageBeep(48);
}

void TMainFrm::Button3Click() {
    pipeline.RSBUF.clear();
    if (CommPortDriver1.Connect()) {
        Button3.setEnabled(false);
        Button4.setEnabled(true);
        StatusBar1.setSimpleText(kConnected);
    } else {
        StatusBar1.setSimpleText(kConnectError);
        beeper.MessageBeep(0);
    }
    CommPortDriver1.Disconnect();
    CommPortDriver1.setComPortSpeed(selectedBitRate());
    if (CommPortDriver1.Connect()) {
        StatusBar1.setSimpleText(kConnected);
        Button4.setEnabled(true);
        Button3.setEnabled(false);
    } else {
        reportOpen(false);
    }
    RSMemo.appendLine("");
}

void TMainFrm::Button4_XClick() {
    StatusBar1.setSimpleText(kDisconnected);
    CommPortDriver1.Disconnect();
    Button3.setEnabled(true);
    Button4.setEnabled(false);
    parseState.RSbuffer.clear();
}

void TMainFrm::CommportClick() {
    CommPortDriver1.Disconnect();
    selectChosenPort();
    reportOpen(CommPortDriver1.Connect());
}

void TMainFrm::BaudRateChange() {
    CommPortDriver1.Disconnect();
    CommPortDriver1.setComPortSpeed(selectedBitRate());
    reportOpen(CommPortDriver1.Connect());
}

// The DTR and RTS requests come before the open, on a closed port, where they change
// nothing: the port opens with DTR on and RTS off.
void TMainFrm::BitBtn12Click() {
    CommPortDriver1.Disconnect();
    selectChosenPort();
    CommPortDriver1.setComPortSpeed(selectedBitRate());
    CommPortDriver1.ToggleDTR(true);
    CommPortDriver1.ToggleDTR(false);
    CommPortDriver1.ToggleRTS(true);
    loop.delay(10);
    reportOpen(CommPortDriver1.Connect());
}

void TMainFrm::ClearClick() {
    RSMemo.clear();
}

void TMainFrm::BitBtn11Click() {
    const auto file = windows.askSaveFileName(FileFilter{kMonitorFilter, 1}, "txt");
    if (!file) return;
    if (const std::string error = WriteMonitorFile(*file, RSMemo.Lines()); !error.empty())
        windows.showMessage(error);
}

void TMainFrm::BitBtn1Click() {
    windows.close(form);
}

void TMainFrm::Interface1Click() {
    PageControl1.setActivePageIndex(TabSheet1.PageIndex());
}

void TMainFrm::CopyPasteSettings1Click() {
    PageControl1.setActivePageIndex(TabSheet2.PageIndex());
}

void TMainFrm::DeviceSettings1Click() {
    PageControl1.setActivePageIndex(TabSheet3.PageIndex());
}

} // namespace qorva
