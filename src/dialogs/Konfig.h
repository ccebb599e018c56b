#pragma once
// TForm3: the four-colour output order (1 Schwarz, 2 Cyan, 3 Magenta, 4 Gelb), radio
// buttons b1..b16, button n = colour + 4 * (place - 1).
#include "dialogs/colour_order.h"

namespace qorva {

class TForm3 : public ColourOrderDialog {
  public:
    TForm3();
    // Loads the stored order ("snst" "konfig", default "1234").
    void FormCreate(const std::string& konfig) { load(konfig); }
    void ea(int a);
    void eu(int a);
    void eu1(int a, int x) { moveOff(a, x); }
    bool eu2(int e, int za) const { return freeFor(e, za); }
};

} // namespace qorva
