#include "parsers/colour_places.h"

#include "dialogs/colour_order.h"
#include "output/output_flags.h"

namespace qorva {

namespace {

int colourAtPlace(const ColourOrderDialog* order, int place) {
    return order ? order->colourAt(place) : place;
}

} // namespace

void ColourPlaces::Wo1(int& farb, int& davor, int stelle) const {
    farb = 18;
    davor = 0;
    for (int i = 1; i <= 4; ++i) {
        const int a = colourAtPlace(fourColourOrder, i);
        if (i < stelle && flags_.ausgabe(18 + a)) ++davor;
        if (i == stelle) farb = 18 + a;
    }
}

void ColourPlaces::Wo2(int& farb, int& davor, int stelle) const {
    farb = 23;
    davor = 0;
    for (int i = 1; i <= 7; ++i) {
        const int j = colourAtPlace(sevenColourOrder, i);
        const int flag = j == 7 ? 23 : 23 + j;
        if (i < stelle && flags_.ausgabe(flag)) ++davor;
        if (i == stelle) farb = 23 + j;
    }
}

} // namespace qorva
