#pragma once
// A colour output order: which colour each output place gets, edited through a grid of
// radio buttons (one group box per place, one button per colour). Picking a colour that
// another place holds gives that place the colour that has just become free.
#include "platform/controls.h"

#include <string>
#include <vector>

namespace qorva {

class ColourOrderDialog {
  public:
    // places = colours = n; buttons are named prefix + number, number = colour + n * (place - 1).
    ColourOrderDialog(const std::string& formName, int n, const std::string& buttonPrefix,
                      const std::vector<std::string>& colourNames,
                      const std::vector<std::string>& placeHints);
    virtual ~ColourOrderDialog() = default;

    TForm form;
    int size() const { return n_; }
    // The colour at an output place (1-based), 0 when the place has none.
    int colourAt(int place) const;
    // The order as its stored digits, "1234" for the identity of four colours.
    std::string digits() const;
    // Loads a stored order: each valid digit is checked as a click would; places left
    // without a colour then get the smallest free colours, so loading always ends with
    // a complete order.
    void load(const std::string& stored);

    TRadioButton& button(int number) const { return *buttons_[static_cast<size_t>(number - 1)]; }

  protected:
    // Checks the button of colour at place when both are in range (its click applies the rule).
    void check(int place, int colour);
    // The edit rule for colour picked at place.
    void pick(int place, int colour);
    // Moves place x off colour when it holds it, to the smallest colour no other place holds.
    void moveOff(int colour, int x);
    // True when colour is held by no place other than e.
    bool freeFor(int e, int colour) const;

  private:
    int n_;
    std::vector<std::vector<bool>> table_; // [place][colour], 1-based
    std::vector<TRadioButton*> buttons_;
};

} // namespace qorva
