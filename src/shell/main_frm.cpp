#include "shell/main_frm.h"

namespace qorva {

namespace {

template <class T> T& built(T& control, const char* caption, const char* hint = "") {
    control.Caption = caption;
    control.Hint = hint;
    return control;
}

TRadioGroup& radioGroup(TRadioGroup& group, std::vector<std::string> items, int itemIndex) {
    group.Items = std::move(items);
    group.setItemIndex(itemIndex);
    return group;
}

} // namespace

TMainFrm::TMainFrm(const PlatformServices& platform)
    : loop(platform.loop), keyboard(platform.keyboard), layout(platform.layout),
      clock(platform.clock), Button3(built(form.add<TButton>("Button3", nullptr), "START")),
      Button4(built(form.add<TButton>("Button4", nullptr), "STOP")),
      PageControl1(form.add<TPageControl>("PageControl1", nullptr)),
      TabSheet1(built(form.add<TTabSheet>("TabSheet1", &PageControl1), "Interface")),
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
      ParseTimer(form.add<TTimer>("ParseTimer", nullptr, loop, 100)),
      Watchdog(form.add<TTimer>("Watchdog", nullptr, loop, 3000)) {
    form.Caption = "QORVA v01.22";
    Button4.Enabled = false;
    PageControl1.setActivePageIndex(2);
    wireEvents();
    ParseTimer.setEnabled(true);
    Watchdog.setEnabled(true);
}

void TMainFrm::wireEvents() {
    Button3.OnClick = [this] { Button3Click(); };
    Button4.OnClick = [this] { Button4_XClick(); };
    ParseTimer.OnTimer = [this] { pipeline.ParseTimerTimer(); };
    Watchdog.OnTimer = [this] { pipeline.WatchdogTimer(); };
    for (TTabSheet* page : {&Blatt1, &Blatt2, &Blatt3, &Blatt4, &Blatt5})
        page->OnEnter = [this] { pipeline.BlattEnter(); };
}

// The serial line is opened here once the serial component is part of the window;
// until then START and STOP switch the running state, the queue and the monitor.
void TMainFrm::Button3Click() {
    pipeline.RSBUF.clear();
    Button3.Enabled = false;
    Button4.Enabled = true;
    RSMemo.Lines.emplace_back();
}

void TMainFrm::Button4_XClick() {
    Button3.Enabled = true;
    Button4.Enabled = false;
    pipeline.RSbuffer.clear();
}

} // namespace qorva
