#pragma once
// The numbered output selection flags: check box n of the device pages is flag n. The
// table of boxes, their pages and groups lives in output_flags.cpp; the reactions of
// boxes 13, 31, 39, 63 and AutoChkbx run whenever those boxes change.
#include <array>
#include <string>

namespace qorva {

class TForm;
class TCheckBox;

class OutputFlags {
  public:
    static constexpr int kHighestFlag = 102;

    // Adds the boxes, their groups and the "ALLE"/"NICHTS" buttons to the form.
    explicit OutputFlags(TForm& form);

    bool ausgabe(int a) const;
    bool ausgabe2(int a, int b) const;
    bool ausgabe3(int a, int b, int c) const;
    void alle(int a, int b, bool t);

    // The check box of flag n, or nullptr when n has no box of its own.
    TCheckBox* box(int n) const;
    bool checked(int n) const;
    TCheckBox& AutoChkbx() const { return *autoChkbx_; }

  private:
    void buildBoxes();
    void buildButtons();
    void wireReactions();
    void dotGainReaction(int flag, int referenceBox);
    void colorimetryReaction();

    TForm& form_;
    std::array<TCheckBox*, kHighestFlag + 1> boxes_{};
    std::array<bool, kHighestFlag + 1> throughAusgabe_{};
    TCheckBox* autoChkbx_ = nullptr;
};

} // namespace qorva
