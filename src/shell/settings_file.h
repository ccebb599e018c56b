#pragma once
// The settings file ".\qorva.ini": what each window reads while it is built, and the
// writer that stores every setting when the main window closes.
#include <string>
#include <vector>

namespace qorva {

class PortMap;
class ProfileFile;
class TMainFrm;
class TForm2;
class TForm3;
class TForm4;
class TStartopt;

// The main window's keys: device page, bit rate, notation, layout, port, date and time
// output, the stored output flags and the paste keys.
// What the reader could not take as written, each with the value it used instead.
using SettingsNotes = std::vector<std::string>;
void ReadMainWindowSettings(TMainFrm& frm, const ProfileFile& ini, SettingsNotes* notes = nullptr);
std::string ReadFourColourOrder(const ProfileFile& ini);
std::string ReadSevenColourOrder(const ProfileFile& ini);
// True when the stored language is English.
bool ReadLanguageIsEnglish(const ProfileFile& ini);

// The machine's own keys, which no window reads: [ports] COMn=device names the device a
// port number opens, and [keys] MoveWait the extra milliseconds a target needs after a
// cursor move (0 when unset), and [keys] KeyWait the milliseconds a keyboard port waits
// after each key event (the port's own wait when unset or not a number: a typo must not
// let the keys flood the target).
void ReadPortMap(const ProfileFile& ini, PortMap& ports);
int ReadMoveWait(const ProfileFile& ini);
int ReadKeyWait(const ProfileFile& ini, int portDefault);

struct SettingsWindows {
    const TMainFrm& frm;
    const TForm4& form4;
    const TForm3& form3;
    const TForm2& form2;
    const TStartopt& startopt;
};
// Every key, in the order the file has always been written in.
void WriteSettings(const SettingsWindows& windows, ProfileFile& ini);

// The length code of a path: the character 48 + its length in bytes.
std::string LengthCode(const std::string& path);

} // namespace qorva
