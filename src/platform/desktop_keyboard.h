#pragma once
// What every desktop keyboard port does with the key sink's events, whatever the system
// underneath: a key is let go before it is pressed again, a release of a key the program
// does not hold is ignored, a key on the shifted level gets a Shift of its own, and the
// numeric pad types digits through NumLock whatever the user's NumLock state. When typing
// pauses, every key the program holds is let go (Shift only when the key sink holds it
// on purpose across the pause) and a NumLock the program switched on is switched off.
// Every key event sent is followed by the port's key wait, so no target is flooded. A backend says
// how a key is found and sent; this class holds the policy.
#include "platform/fault_log.h"
#include "platform/keyboard.h"

#include <set>
#include <utility>

namespace qorva {

class DesktopKeyboard : public KeyboardPort {
  public:
    void sendKey(const KeyEvent& event) final;
    void waited(int ms) override;
    int moveSettleMs() const override { return moveSettleMs_; }
    void setMoveSettleMs(int ms) { moveSettleMs_ = ms; }
    // Milliseconds the port waits after each key event it sends ([keys] KeyWait), beside
    // any spacing of its own; each port starts with the wait its targets were measured to
    // need.
    int keyWaitMs() const { return keyWaitMs_; }
    void setKeyWaitMs(int ms) { keyWaitMs_ = ms; }
    // Where the port reports trouble it meets while typing (a lost connection).
    void setFaultSink(FaultLog::Sink sink) { faultSink_ = std::move(sink); }
    // The layout that picks keys for characters on this desktop; nullptr: the fixed US one.
    virtual const KeyLayout* layout() const { return nullptr; }

    // Lets go of what the program holds and gives the user's NumLock state back.
    void typingStopped();

  protected:
    struct SystemKey {
        unsigned code = 0; // 0: the system has no key for it
        bool shifted = false;
    };
    virtual SystemKey systemKey(int vk) const = 0;
    virtual unsigned shiftCode() const = 0;
    virtual void emitKey(unsigned code, bool press) = 0;
    virtual bool numLockOn() = 0;
    virtual void setNumLock(bool on) = 0;
    void reportFault(const std::string& message) const {
        if (faultSink_) faultSink_(message);
    }

  private:
    void press(unsigned code, bool down);
    void ensureNumLock();

    std::set<unsigned> down_; // keys the program holds, by system code
    bool shiftHeld_ = false;
    bool numLockForced_ = false;
    int moveSettleMs_ = 0;
    int keyWaitMs_ = 0;
    FaultLog::Sink faultSink_;
};

} // namespace qorva
