#include "shell/settings_file.h"

#include "dialogs/Info.h"
#include "dialogs/Konfig.h"
#include "dialogs/Konfig2.h"
#include "dialogs/Stopt.h"
#include "platform/port_map.h"
#include "platform/profile.h"
#include "shell/main_frm.h"

#include <algorithm>
#include <cstdlib>

namespace qorva {

namespace {

// Which output flag each position of a stored flag string carries.
struct FlagString {
    const char* section;
    const char* writtenSection; // the writer's spelling of the section name
    const char* key;
    std::vector<int> flags;
};

std::vector<int> range(int first, int last) {
    std::vector<int> out;
    for (int n = first; n <= last; ++n) out.push_back(n);
    return out;
}

std::vector<int> joined(std::vector<int> a, std::initializer_list<int> b) {
    a.insert(a.end(), b);
    return a;
}

const std::vector<FlagString>& flagStrings() {
    static const std::vector<FlagString> strings = {
        {"BWDensi", "BWDensi", "Reflexion", range(1, 6)},
        {"BWDensi", "BWDensi", "Transmission", range(7, 11)},
        {"FarbDensi", "FarbDensi", "Farben", range(19, 22)},
        {"FarbDensi", "Farbdensi", "Messfkt", joined(range(12, 18), {51, 52, 54})},
        {"MX7000", "MX7000", "Farben", range(23, 29)},
        {"MX7000", "MX7000", "Messfkt", joined(range(30, 44), {53})},
    };
    return strings;
}

// The recent-files list keeps the last five choices.
constexpr size_t kRecentEntries = 5;

const FlagString kZeroingAndMarkings{"snst", "snst", "allg", range(45, 50)};
const std::vector<int> kPlaxenFlags = {47, 55, 56};

std::string read(const ProfileFile& ini, const char* section, const char* key, int width,
                 const std::string& fallback) {
    return ini.GetPrivateProfileString(section, key, fallback, width + 1);
}

// Digits as a number; any other character makes the whole value 0.
int indexValue(const std::string& text) {
    if (text.empty() ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return 0;
    return std::stoi(text);
}

// A radio group takes an index beyond its items as its last item.
void setGroupIndex(TRadioGroup& group, int index) {
    group.setItemIndex(std::min(index, static_cast<int>(group.Items().size()) - 1));
}

bool allDigits(const std::string& text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

void note(SettingsNotes* notes, const char* section, const char* key, const std::string& value,
          const std::string& used) {
    if (notes)
        notes->push_back(std::string("[") + section + "] " + key + "=" + value +
                         " is not understood; " + used + " is used");
}

// An index stored as digits, 0 for anything else, as the original reads it; whatever
// was not taken as written is noted.
int readIndex(const ProfileFile& ini, const char* section, const char* key, int width,
              const std::string& fallback, SettingsNotes* notes) {
    const std::string value = read(ini, section, key, width, fallback);
    if (!allDigits(value)) note(notes, section, key, value, "0");
    return indexValue(value);
}

void readGroup(TRadioGroup& group, const ProfileFile& ini, const char* key,
               const std::string& fallback, SettingsNotes* notes) {
    const int index =
        readIndex(ini, "allg", key, key == std::string("Commport") ? 2 : 1, fallback, notes);
    const int last = static_cast<int>(group.Items().size()) - 1;
    if (index > last) note(notes, "allg", key, std::to_string(index), std::to_string(last));
    setGroupIndex(group, index);
}

void readFlagString(TMainFrm& frm, const ProfileFile& ini, const FlagString& string,
                    SettingsNotes* notes) {
    const std::string fallback(string.flags.size(), '1');
    const std::string value =
        read(ini, string.section, string.key, static_cast<int>(string.flags.size()), fallback);
    if (value.find_first_not_of("01") != std::string::npos)
        note(notes, string.section, string.key, value, "0 for each character but 1");
    // A hand-edited value shorter than its width leaves the missing positions as built.
    for (size_t p = 0; p < value.size() && p < string.flags.size(); ++p)
        frm.flags.alle(string.flags[p], string.flags[p], value[p] == '1');
}

std::string flagString(const TMainFrm& frm, const std::vector<int>& flags) {
    std::string out;
    for (int n : flags) out += frm.flags.checked(n) ? '1' : '0';
    return out;
}

} // namespace

std::string LengthCode(const std::string& path) {
    return std::string(1, static_cast<char>('0' + std::min<size_t>(path.size(), 255 - '0')));
}

void ReadMainWindowSettings(TMainFrm& frm, const ProfileFile& ini, SettingsNotes* notes) {
    const std::string ap = read(ini, "allg", "AP", 1, "3");
    const int page = ap == "1" ? 0 : ap == "2" ? 1 : ap == "4" ? 3 : ap == "5" ? 4 : 2;
    if (ap != "3" && page == 2) note(notes, "allg", "AP", ap, "3");
    frm.densito.setActivePageIndex(page);

    const int bitRate = readIndex(ini, "allg", "Baudrate", 1, "5", notes);
    frm.BaudRate.restoreItemIndex(bitRate); // the port is not reopened for it
    readGroup(frm.Notation, ini, "Notation", "2", notes);
    readGroup(frm.Ausgabeart, ini, "Ausgabeart", "0", notes);
    readGroup(frm.Commport, ini, "Commport", "1", notes);

    const std::string aus = read(ini, "allg", "Aus", 2, "00");
    if (aus.size() > 0 && aus[0] == '1') frm.Datumaus.setChecked(true);
    if (aus.size() > 1 && aus[1] == '1') frm.Zeitaus.setChecked(true);
    if (read(ini, "keys", "Burst", 1, "0") == "1") frm.Burst.setChecked(true);
    // How many lines the monitor keeps, oldest dropped first; a value that is not a
    // number above 0 keeps the default.
    if (const int lines = indexValue(read(ini, "monitor", "Lines", 9, "")); lines > 0)
        frm.pipeline.setMonitorLineLimit(static_cast<size_t>(lines));

    for (const auto& string : flagStrings()) readFlagString(frm, ini, string, notes);
    readFlagString(frm, ini, kZeroingAndMarkings, notes);

    // Without a stored value the paste keys stay Shift+Insert, as the window is built.
    const std::string info = read(ini, "Plaxen", "Info", 4, "1110");
    for (size_t p = 0; p < info.size() && p < kPlaxenFlags.size(); ++p)
        frm.flags.alle(kPlaxenFlags[p], kPlaxenFlags[p], info[p] == '1');
    if (info.size() > 3 && info[3] == '1') frm.CTRLV.setChecked(true);
}

std::string ReadFourColourOrder(const ProfileFile& ini) {
    return read(ini, "snst", "konfig", 4, "1234");
}

std::string ReadSevenColourOrder(const ProfileFile& ini) {
    return read(ini, "snst", "konfig2", 7, "1234567");
}

bool ReadLanguageIsEnglish(const ProfileFile& ini) {
    return read(ini, "allg", "Sprache", 1, "1") == "1";
}

void ReadPortMap(const ProfileFile& ini, PortMap& ports) {
    for (const auto& [key, path] : ini.entries("ports")) ports.assignFromEntry(key, path);
}

int ReadMoveWait(const ProfileFile& ini) {
    return std::max(0, std::atoi(read(ini, "keys", "MoveWait", 5, "0").c_str()));
}

int ReadKeyWait(const ProfileFile& ini, int portDefault) {
    const std::string text = read(ini, "keys", "KeyWait", 4, "");
    if (text.empty() || text[0] < '0' || text[0] > '9') return portDefault;
    return std::atoi(text.c_str());
}

void WriteSettings(const SettingsWindows& w, ProfileFile& ini) {
    const TMainFrm& frm = w.frm;
    const auto write = [&ini](const std::string& section, const std::string& key,
                              const std::string& value) {
        ini.WritePrivateProfileString(section, key, value);
    };
    write("allg", "AP", std::to_string(frm.densito.ActivePageIndex() + 1));
    write("allg", "Baudrate", std::to_string(frm.BaudRate.ItemIndex()));
    write("allg", "Notation", std::to_string(frm.Notation.ItemIndex()));
    write("allg", "Ausgabeart", std::to_string(frm.Ausgabeart.ItemIndex()));
    write("allg", "Commport", std::to_string(frm.Commport.ItemIndex()));
    write("allg", "Sprache", w.form2.englisch.Checked() ? "1" : "2");
    write("allg", "Aus",
          std::string(frm.Datumaus.Checked() ? "1" : "0") + (frm.Zeitaus.Checked() ? "1" : "0"));
    for (const auto& string : flagStrings())
        write(string.writtenSection, string.key, flagString(frm, string.flags));
    write("keys", "Burst", frm.Burst.Checked() ? "1" : "0");
    write("Plaxen", "Info", flagString(frm, kPlaxenFlags) + (frm.CTRLV.Checked() ? "1" : "0"));
    write("snst", "allg", flagString(frm, kZeroingAndMarkings.flags));
    write("snst", "konfig", w.form3.digits());
    write("snst", "konfig2", w.form4.digits());

    const TStartopt& start = w.startopt;
    write("snst", "Sto", start.Stj.Checked() ? "1" : "0");
    const std::string& chosen = start.Choosedprgfile.Text();
    if (!chosen.empty()) {
        write("snst", "fl", "1");
        write("snst", "fl0", LengthCode(chosen));
        write("snst", "file", chosen);
        const auto& recent = start.Prgfilelist.Items();
        write("snst", "l5",
              std::string(1, static_cast<char>('0' + std::min(recent.size(), kRecentEntries))));
        for (size_t i = 0; i < recent.size() && i < kRecentEntries; ++i) {
            const std::string section = "snst" + std::to_string(i);
            write(section, "fl", LengthCode(recent[i]));
            write(section, "file", recent[i]);
        }
    } else {
        write("snst", "fl", "0");
        write("snst", "fl0", "0");
        write("snst", "file", "");
    }
    const std::pair<const char*, const TEdit*> pages[] = {{"swprg", &start.SWDensPrg},
                                                          {"4fprg", &start.Dens4Farbprg},
                                                          {"7fprg", &start.Dens7Farbprg},
                                                          {"VC", &start.DensVC}};
    for (const auto& [key, edit] : pages) {
        write("snst", std::string(key) + "l", LengthCode(edit->Text()));
        write("snst", key, edit->Text());
    }
}

} // namespace qorva
