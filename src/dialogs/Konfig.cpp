#include "dialogs/Konfig.h"

namespace qorva {

TForm3::TForm3()
    : ColourOrderDialog("Form3", 4, "b", {"Schwarz", "Cyan", "Magenta", "Gelb"},
                        {"Erste auszugebende Farbe", "Zweite auszugebende Farbe",
                         "Dritte auszugebende Farbe", "Vierte auszugebende Farbe"}) {}

void TForm3::ea(int a) {
    if (a >= 1 && a <= 16) check((a - 1) / 4 + 1, (a - 1) % 4 + 1);
}

void TForm3::eu(int a) {
    if (a >= 1 && a <= 16) pick((a - 1) / 4 + 1, (a - 1) % 4 + 1);
}

} // namespace qorva
