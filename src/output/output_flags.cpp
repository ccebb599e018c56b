#include "output/output_flags.h"

#include "platform/controls.h"

#include <vector>

namespace qorva {

namespace {

struct FlagBox {
    int number;
    const char* page;
    const char* group; // nullptr: the box sits on the page itself
    const char* caption;
    bool throughAusgabe;
};

// Flag n is CheckBox<n>; every box is checked when the window is built.
constexpr FlagBox kFlagBoxes[] = {
    {1, "Blatt1", "REFLEXION", "FLÄCHENDECKUNGSGRAD", true},
    {2, "Blatt1", "REFLEXION", "PUNKTGRÖSSE", true},
    {3, "Blatt1", "REFLEXION", "NEG. FLÄCHENDECKUNGSGRAD", true},
    {4, "Blatt1", "REFLEXION", "NEG. PUNKTGRÖSSE", true},
    {5, "Blatt1", "REFLEXION", "RELATIVE DICHTE", true},
    {6, "Blatt1", "REFLEXION", "ABSOLUTE DICHTE", true},
    {7, "Blatt1", "TRANSMISSION", "RASTERMESSUNG", true},
    {8, "Blatt1", "TRANSMISSION", "SOFT RASTERMESSUNG", true},
    {9, "Blatt1", "TRANSMISSION", "NEG. RASTERMESSUNG", true},
    {10, "Blatt1", "TRANSMISSION", "NEG SOFT RASTERMESSUNG", true},
    {11, "Blatt1", "TRANSMISSION", "DICHTEMESSUNG", true},
    {12, "Blatt2", "AUSZUGEBENDE MESSFUNKTIONEN", "TONWERT", true},
    {13, "Blatt2", "AUSZUGEBENDE MESSFUNKTIONEN", "TONERTZUNAHME", true},
    {14, "Blatt2", "AUSZUGEBENDE MESSFUNKTIONEN", "RELATIVER DRUCKKONTRAST", true},
    {15, "Blatt2", "AUSZUGEBENDE MESSFUNKTIONEN", "DICHTE", true},
    {16, "Blatt2", "AUSZUGEBENDE MESSFUNKTIONEN", "ABSOLUTE DICHTE", true},
    {17, "Blatt2", "AUSZUGEBENDE MESSFUNKTIONEN", "HUE ERROR", true},
    {18, "Blatt2", "AUSZUGEBENDE MESSFUNKTIONEN", "GRAUNESS", true},
    {19, "Blatt2", "FARBAUSGABE", "SCHWARZ", true},
    {20, "Blatt2", "FARBAUSGABE", "CYAN", true},
    {21, "Blatt2", "FARBAUSGABE", "MAGENTA", true},
    {22, "Blatt2", "FARBAUSGABE", "GELB", true},
    {23, "Blatt3", "FARBAUSGABE", "SCHWARZ", true},
    {24, "Blatt3", "FARBAUSGABE", "CYAN", true},
    {25, "Blatt3", "FARBAUSGABE", "MAGENTA", true},
    {26, "Blatt3", "FARBAUSGABE", "GELB", true},
    {27, "Blatt3", "FARBAUSGABE", "ORANGE", true},
    {28, "Blatt3", "FARBAUSGABE", "GRÜN", true},
    {29, "Blatt3", "FARBAUSGABE", "BLAU", true},
    {30, "Blatt3", "AUSZUGEBENDE MESSFUNKTIONEN", "TONWERT", true},
    {31, "Blatt3", "AUSZUGEBENDE MESSFUNKTIONEN", "TONERTZUNAHME", true},
    {32, "Blatt3", "AUSZUGEBENDE MESSFUNKTIONEN", "PERLFAKTOR", true},
    {33, "Blatt3", "AUSZUGEBENDE MESSFUNKTIONEN", "DICHTE", true},
    {34, "Blatt3", "AUSZUGEBENDE MESSFUNKTIONEN", "TRAPPING", true},
    {35, "Blatt3", "AUSZUGEBENDE MESSFUNKTIONEN", "HUE ERROR", true},
    {36, "Blatt3", "AUSZUGEBENDE MESSFUNKTIONEN", "GRAUNESS", true},
    {37, "Blatt3", "AUSZUGEBENDE MESSFUNKTIONEN", "RELATIVER DRUCKKONTRAST", true},
    {38, "Blatt3", "AUSZUGEBENDE MESSFUNKTIONEN", "TONWERTBALANCE", true},
    {39, "Blatt3", "AUSZUGEBENDE MESSFUNKTIONEN", "FARBANALYSE", true},
    {40, "Blatt3", "AUSZUGEBENDE MESSFUNKTIONEN", "L-a-b WERTE", true},
    {41, "Blatt3", "AUSZUGEBENDE MESSFUNKTIONEN", "L-C-h WERTE", true},
    {42, "Blatt3", "AUSZUGEBENDE MESSFUNKTIONEN", "Y-x-y WERTE", true},
    {43, "Blatt3", "AUSZUGEBENDE MESSFUNKTIONEN", "REFERENZWERT", true},
    {44, "Blatt3", "AUSZUGEBENDE MESSFUNKTIONEN", "DELTAWERTE", true},
    {45, "Blatt1", nullptr, "WERTE BEI ", true},
    {46, "Blatt2", nullptr, "WERTE BEI", true},
    {47, "Blatt4", "AUSGABE", "SERIENNUMMER", true},
    {48, "Blatt1", nullptr, "KENNZEICNUNG", true},
    {49, "Blatt2", nullptr, "KENNZEICNUNG", true},
    {50, "Blatt3", nullptr, "KENNZEICHNUNG AUSGEBEN", true},
    {51, "Blatt2", "AUSZUGEBENDE MESSFUNKTIONEN", "TRAPPING", true},
    {52, "Blatt2", "AUSZUGEBENDE MESSFUNKTIONEN", "PERLFAKTOR", true},
    {53, "Blatt3", "AUSZUGEBENDE MESSFUNKTIONEN", "REFERENZWERT", true},
    {54, "Blatt2", "AUSZUGEBENDE MESSFUNKTIONEN", "REFERENZWERT", true},
    {55, "Blatt4", "AUSGABE", "REFERENZWERTE", true},
    {56, "Blatt4", "AUSGABE", "KENNZEICHNUNG", true},
    {57, "Blatt5", "AUSZUGEBENDE MESSFUNKTIONEN", "Balance Differenz (PFI)", false},
    {58, "Blatt5", "AUSZUGEBENDE MESSFUNKTIONEN", "Balance", false},
    {59, "Blatt5", "QX Output Setting = ALL", "CMYKRGB", false},
    {60, "Blatt5", "QX Output Setting = ALL", "Lab", false},
    {62, "Blatt5", "AUSZUGEBENDE MESSFUNKTIONEN", "Tonwert", false},
    {63, "Blatt5", "AUSZUGEBENDE MESSFUNKTIONEN", "Tonwertzuwachs", false},
    {65, "Blatt5", "AUSZUGEBENDE MESSFUNKTIONEN", "Dichte", false},
    {67, "Blatt5", "AUSZUGEBENDE MESSFUNKTIONEN", "Dichte Differenz (PFI)", false},
    {68, "Blatt5", "AUSZUGEBENDE MESSFUNKTIONEN", "Tonwertzuwachs (PFI)", false},
    {69, "Blatt5", "AUSZUGEBENDE MESSFUNKTIONEN", "Trapping", false},
    {70, "LUMAPage", nullptr, "Werte bei", false},
    {71, "Blatt5", "AUSZUGEBENDE MESSFUNKTIONEN", "Referenzwert", false},
    {72, "Blatt5", nullptr, "Werte bei", false},
    {73, "Blatt5", nullptr, "Kennzeichnung", false},
    {74, "LUMAPage", nullptr, "Kennzeichnung", false},
    {75, "VARNIKPage", nullptr, "Werte bei", false},
    {76, "VARNIKPage", nullptr, "Kennzeichnung", false},
    {80, "Blatt5", "FARBAUSGABE", "SCHWARZ", true},
    {81, "Blatt5", "FARBAUSGABE", "CYAN", true},
    {82, "Blatt5", "FARBAUSGABE", "MAGENTA", true},
    {83, "Blatt5", "FARBAUSGABE", "GELB", true},
    {84, "Blatt5", "FARBAUSGABE", "ROT", true},
    {85, "Blatt5", "FARBAUSGABE", "GRÜN", true},
    {86, "Blatt5", "FARBAUSGABE", "BLAU", true},
    {90, "VARNIKPage", "FARBAUSGABE", "SCHWARZ", true},
    {91, "VARNIKPage", "FARBAUSGABE", "CYAN", true},
    {92, "VARNIKPage", "FARBAUSGABE", "MAGENTA", true},
    {93, "VARNIKPage", "FARBAUSGABE", "GELB", true},
    {94, "VARNIKPage", "FARBAUSGABE", "delta E2000", true},
    {100, "LUMAPage", "FARBAUSGABE", "X", true},
    {101, "LUMAPage", "FARBAUSGABE", "Y", true},
    {102, "LUMAPage", "FARBAUSGABE", "Z", true},
};

// Flag 95 has no box of its own and reports the box of flag 93.
constexpr int kFlagReadingAnotherBox = 95, kBoxOfFlag95 = 93;

struct GroupName {
    const char* page;
    const char* caption;
    const char* name;
    const char* hint;
};

constexpr GroupName kGroups[] = {
    {"Blatt1", "REFLEXION", "GroupBox1", "Auswahl der auszugebenden Messfunktion"},
    {"Blatt1", "TRANSMISSION", "GroupBox2", "Auswahl der auszugebenden Messfunktion"},
    {"Blatt2", "AUSZUGEBENDE MESSFUNKTIONEN", "GroupBox3",
     "Auswahl der auszugebenden Messfunktion"},
    {"Blatt2", "FARBAUSGABE", "GroupBox4", "Auszugebende Farben"},
    {"Blatt3", "FARBAUSGABE", "GroupBox5", "Auszugebende Farben"},
    {"Blatt3", "AUSZUGEBENDE MESSFUNKTIONEN", "GroupBox6",
     "Auswahl der auszugebenden Messfunktion"},
    {"Blatt5", "QX Output Setting = ALL", "GroupBox7", ""},
    {"Blatt4", "AUSGABE", "GroupBox8", ""},
    {"Blatt5", "FARBAUSGABE", "GroupBox9", ""},
    {"Blatt5", "AUSZUGEBENDE MESSFUNKTIONEN", "GroupBox10", ""},
    {"LUMAPage", "FARBAUSGABE", "GroupBox11", ""},
    {"VARNIKPage", "FARBAUSGABE", "GroupBox12", ""},
};

constexpr const char* kMarkingHint = "Ausgabe der Meßwertkennzeichnung in einer Extraspalte";
constexpr const char* kAllHint = "Alle auswählen";
constexpr const char* kNoneHint = "Nichts auswählen";

struct FlagButton {
    const char* name;
    const char* caption;
    const char* page;
    const char* group;
    bool all; // true: an "ALLE" button, false: a "NICHTS" button
    std::vector<int> rangesOrBoxes;
    bool throughAlle; // ranges (first, last, first, last...) through alle, or single boxes
};

const FlagButton kButtons[] = {
    {"Button5", "ALLE", "Blatt1", "REFLEXION", true, {1, 6}, true},
    {"Button7", "ALLE", "Blatt1", "TRANSMISSION", true, {7, 11}, true},
    {"Button12", "NICHTS", "Blatt1", nullptr, false, {1, 11}, true},
    {"Button8", "ALLE", "Blatt2", "FARBAUSGABE", true, {19, 22}, true},
    {"Button13", "NICHTS", "Blatt2", "FARBAUSGABE", false, {19, 22}, true},
    {"Button9",
     "ALLE",
     "Blatt2",
     "AUSZUGEBENDE MESSFUNKTIONEN",
     true,
     {12, 18, 51, 52, 54, 54},
     true},
    {"Button6",
     "NICHTS",
     "Blatt2",
     "AUSZUGEBENDE MESSFUNKTIONEN",
     false,
     {12, 18, 51, 52, 54, 54},
     true},
    {"Button10", "ALLE", "Blatt3", "FARBAUSGABE", true, {23, 29}, true},
    {"Button14", "NICHTS", "Blatt3", "FARBAUSGABE", false, {23, 29}, true},
    {"Button11", "ALLE", "Blatt3", "AUSZUGEBENDE MESSFUNKTIONEN", true, {30, 39, 53, 53}, true},
    {"Button15", "NICHTS", "Blatt3", "AUSZUGEBENDE MESSFUNKTIONEN", false, {30, 39, 53, 53}, true},
    {"Button42",
     "Alle",
     "Blatt5",
     "AUSZUGEBENDE MESSFUNKTIONEN",
     true,
     {57, 58, 62, 63, 65, 67, 68, 69, 71, 59, 60},
     false},
    {"Button43",
     "Nichts",
     "Blatt5",
     "AUSZUGEBENDE MESSFUNKTIONEN",
     false,
     {57, 58, 62, 63, 65, 67, 68, 69, 71, 59, 60},
     false},
    {"Button1", "ALLE", "Blatt5", "FARBAUSGABE", true, {80, 81, 82, 83, 84, 85, 86}, false},
    {"Button2", "NICHTS", "Blatt5", "FARBAUSGABE", false, {80, 81, 82, 83, 84, 85, 86}, false},
    {"Button16", "ALLE", "VARNIKPage", "FARBAUSGABE", true, {90, 91, 92, 93, 94}, false},
    {"Button17", "NICHTS", "VARNIKPage", "FARBAUSGABE", false, {90, 91, 92, 93, 94}, false},
    {"Button18", "ALLE", "LUMAPage", "FARBAUSGABE", true, {100, 101, 102}, false},
    {"Button19", "NICHTS", "LUMAPage", "FARBAUSGABE", false, {100, 101, 102}, false},
};

} // namespace

OutputFlags::OutputFlags(TForm& form) : form_(form) {
    buildBoxes();
    buildButtons();
    wireReactions();
}

// The group box of a page with the given caption, made when it is first needed, so the
// tree holds pages, then groups and boxes in the order of the flag table.
static TControl& containerFor(TForm& form, const char* pageName, const char* groupCaption) {
    TControl* page = form.find(pageName);
    if (!groupCaption) return *page;
    for (const auto& group : kGroups) {
        if (std::string(group.page) != pageName || std::string(group.caption) != groupCaption)
            continue;
        if (TControl* made = form.find(group.name)) return *made;
        auto& box = form.add<TGroupBox>(group.name, page);
        box.setCaption(group.caption);
        box.setHint(group.hint);
        return box;
    }
    return *page;
}

void OutputFlags::buildBoxes() {
    for (const auto& flag : kFlagBoxes) {
        auto& box = form_.add<TCheckBox>("CheckBox" + std::to_string(flag.number),
                                         &containerFor(form_, flag.page, flag.group));
        box.setCaption(flag.caption);
        box.setChecked(true);
        boxes_[static_cast<size_t>(flag.number)] = &box;
        throughAusgabe_[static_cast<size_t>(flag.number)] = flag.throughAusgabe;
        if (flag.number == 22) {
            autoChkbx_ = &form_.add<TCheckBox>("AutoChkbx", box.Parent());
            autoChkbx_->setCaption("AUTO");
        }
    }
    for (int n : {48, 49, 50, 73, 74, 76}) boxes_[static_cast<size_t>(n)]->setHint(kMarkingHint);
}

void OutputFlags::buildButtons() {
    for (const auto& spec : kButtons) {
        auto& button = form_.add<TButton>(spec.name, &containerFor(form_, spec.page, spec.group));
        button.setCaption(spec.caption);
        button.setHint(spec.all ? kAllHint : kNoneHint);
        const std::vector<int>& numbers = spec.rangesOrBoxes;
        const bool t = spec.all;
        if (spec.throughAlle) {
            button.OnClick = [this, numbers, t] {
                for (size_t k = 0; k + 1 < numbers.size(); k += 2)
                    alle(numbers[k], numbers[k + 1], t);
            };
        } else {
            button.OnClick = [this, numbers, t] {
                for (int n : numbers) boxes_[static_cast<size_t>(n)]->setChecked(t);
            };
        }
    }
}

void OutputFlags::wireReactions() {
    boxes_[13]->OnClick = [this] { dotGainReaction(13, 54); };
    boxes_[63]->OnClick = [this] { dotGainReaction(13, 54); };
    boxes_[31]->OnClick = [this] { dotGainReaction(31, 53); };
    boxes_[39]->OnClick = [this] { colorimetryReaction(); };
    autoChkbx_->OnClick = [this] {
        if (autoChkbx_->Checked()) boxes_[49]->setChecked(true);
    };
}

void OutputFlags::dotGainReaction(int flag, int referenceBox) {
    TCheckBox& reference = *boxes_[static_cast<size_t>(referenceBox)];
    if (ausgabe(flag)) {
        reference.setEnabled(true);
        alle(referenceBox, referenceBox, true);
    } else {
        alle(referenceBox, referenceBox, false);
        reference.setEnabled(false);
    }
}

void OutputFlags::colorimetryReaction() {
    const bool on = boxes_[39]->Checked();
    if (on) {
        for (int n = 40; n <= 44; ++n) boxes_[static_cast<size_t>(n)]->setEnabled(true);
        alle(40, 44, true);
    } else {
        alle(40, 44, false);
        for (int n = 40; n <= 44; ++n) boxes_[static_cast<size_t>(n)]->setEnabled(false);
    }
}

TCheckBox* OutputFlags::box(int n) const {
    if (n < 0 || n > kHighestFlag) return nullptr;
    return boxes_[static_cast<size_t>(n)];
}

bool OutputFlags::checked(int n) const {
    const TCheckBox* b = box(n);
    return b && b->Checked();
}

bool OutputFlags::ausgabe(int a) const {
    if (a == kFlagReadingAnotherBox) return checked(kBoxOfFlag95);
    return checked(a) && throughAusgabe_[static_cast<size_t>(a)];
}

bool OutputFlags::ausgabe2(int a, int b) const {
    return ausgabe(a) && ausgabe(b);
}

bool OutputFlags::ausgabe3(int a, int b, int c) const {
    return ausgabe(a) && ausgabe2(b, c);
}

void OutputFlags::alle(int a, int b, bool t) {
    for (int n = a; n <= b; ++n)
        if (n >= 1 && n <= 56) boxes_[static_cast<size_t>(n)]->setChecked(t);
}

} // namespace qorva
