#pragma once
// The colour-order lookups of the four- and seven-colour families: which colour's flag
// belongs to an output place, and how many places before it have their colour's flag on.
// The orders come from the order dialogs, which are made after the main window.
namespace qorva {

class ColourOrderDialog;
class OutputFlags;

class ColourPlaces {
  public:
    explicit ColourPlaces(const OutputFlags& flags) : flags_(flags) {}

    // The dialogs' orders; until they are set, every place has its own colour.
    const ColourOrderDialog* fourColourOrder = nullptr;
    const ColourOrderDialog* sevenColourOrder = nullptr;

    void Wo1(int& farb, int& davor, int stelle) const;
    void Wo2(int& farb, int& davor, int stelle) const;

  private:
    const OutputFlags& flags_;
};

} // namespace qorva
