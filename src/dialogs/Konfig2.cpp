#include "dialogs/Konfig2.h"

namespace qorva {

TForm4::TForm4()
    : ColourOrderDialog(
          "Form4", 7, "c", {"Cyan", "Magenta", "Gelb", "Orange", "Grün", "Blau", "Schwarz"},
          {"Erste auszugebende Farbe", "Zweite auszugebende Farbe", "Dritte auszugebende Farbe",
           "Vierte auszugebende Farbe", "Fünfte auszugebende Farbe", "Sechste auszugebende Farbe",
           "Siebte auszugebende Farbe"}) {}

} // namespace qorva
