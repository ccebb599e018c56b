#pragma once
// System sounds: code 0 is the default sound, 48 the exclamation sound.
#include <ostream>
#include <vector>

namespace qorva {

class Beeper {
  public:
    virtual ~Beeper() = default;
    virtual void MessageBeep(int code) = 0;
};

// Headless: rings the terminal bell and says which sound it was.
class TerminalBeeper : public Beeper {
  public:
    explicit TerminalBeeper(std::ostream& out) : out_(out) {}
    void MessageBeep(int code) override {
        out_ << '\a' << (code == 48 ? "(exclamation beep)" : "(beep)") << '\n' << std::flush;
    }

  private:
    std::ostream& out_;
};

// Keeps the sounds asked for, for tests and replays.
class RecordingBeeper : public Beeper {
  public:
    void MessageBeep(int code) override { beeps.push_back(code); }
    std::vector<int> beeps;
};

} // namespace qorva
