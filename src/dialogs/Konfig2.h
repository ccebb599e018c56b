#pragma once
// TForm4: the seven-colour output order (1 Cyan, 2 Magenta, 3 Gelb, 4 Orange, 5 Grün,
// 6 Blau, 7 Schwarz), radio buttons c1..c49, button n = colour + 7 * (place - 1).
#include "dialogs/colour_order.h"

namespace qorva {

class TForm4 : public ColourOrderDialog {
  public:
    TForm4();
    // Loads the stored order ("snst" "konfig2", default "1234567").
    void FormCreate(const std::string& konfig2) { load(konfig2); }
    void crc(int Spal, int Zeil) { check(Spal, Zeil); }
    void curb(int Spal, int Zeil) { pick(Spal, Zeil); }
    void curb1(int, int Zeil, int x) { moveOff(Zeil, x); }
    bool curb2(int e, int za) const { return freeFor(e, za); }
};

} // namespace qorva
