#include "dialogs/colour_order.h"

namespace qorva {

ColourOrderDialog::ColourOrderDialog(const std::string& formName, int n,
                                     const std::string& buttonPrefix,
                                     const std::vector<std::string>& colourNames,
                                     const std::vector<std::string>& placeHints)
    : form(formName), n_(n),
      table_(static_cast<size_t>(n + 1), std::vector<bool>(static_cast<size_t>(n + 1))) {
    form.setCaption("Farbausgabe konfigurieren");
    form.add<TLabel>("Image1", nullptr).setHint("Ein Beispiel zur Veranschaulichung");
    for (int place = 1; place <= n; ++place) {
        auto& group = form.add<TGroupBox>("GroupBox" + std::to_string(place), nullptr);
        group.setHint(placeHints[static_cast<size_t>(place - 1)]);
        for (int colour = 1; colour <= n; ++colour) {
            const int number = colour + n * (place - 1);
            auto& radio = form.add<TRadioButton>(buttonPrefix + std::to_string(number), &group);
            radio.setCaption(colourNames[static_cast<size_t>(colour - 1)]);
            radio.OnClick = [this, place, colour] { pick(place, colour); };
            buttons_.push_back(&radio);
        }
    }
    form.add<TButton>("BitBtn1", nullptr).setCaption("&O&K");
}

int ColourOrderDialog::colourAt(int place) const {
    if (place < 1 || place > n_) return 0;
    for (int colour = 1; colour <= n_; ++colour)
        if (table_[static_cast<size_t>(place)][static_cast<size_t>(colour)]) return colour;
    return 0;
}

std::string ColourOrderDialog::digits() const {
    std::string out;
    for (int place = 1; place <= n_; ++place) out += static_cast<char>('0' + colourAt(place));
    return out;
}

void ColourOrderDialog::check(int place, int colour) {
    if (place < 1 || place > n_ || colour < 1 || colour > n_) return;
    button(colour + n_ * (place - 1)).setChecked(true);
}

void ColourOrderDialog::pick(int place, int colour) {
    auto& row = table_[static_cast<size_t>(place)];
    std::fill(row.begin(), row.end(), false);
    row[static_cast<size_t>(colour)] = true;
    for (int x = 1; x <= n_; ++x)
        if (x != place) moveOff(colour, x);
}

void ColourOrderDialog::moveOff(int colour, int x) {
    auto& row = table_[static_cast<size_t>(x)];
    if (!row[static_cast<size_t>(colour)]) return;
    for (int za = 1; za <= n_; ++za) {
        if (!freeFor(x, za)) continue;
        row[static_cast<size_t>(colour)] = false;
        row[static_cast<size_t>(za)] = true;
        check(x, za);
        return;
    }
}

bool ColourOrderDialog::freeFor(int e, int colour) const {
    for (int place = 1; place <= n_; ++place)
        if (place != e && table_[static_cast<size_t>(place)][static_cast<size_t>(colour)])
            return false;
    return true;
}

void ColourOrderDialog::load(const std::string& stored) {
    for (auto& row : table_) std::fill(row.begin(), row.end(), false);
    for (auto* radio : buttons_) radio->setChecked(false);
    for (int place = 1; place <= n_ && place <= static_cast<int>(stored.size()); ++place) {
        const int colour = stored[static_cast<size_t>(place - 1)] - '0';
        check(place, colour); // a character that is no colour of this order is skipped
    }
    for (int place = 1; place <= n_; ++place)
        for (int colour = 1; colour <= n_ && colourAt(place) == 0; ++colour)
            if (freeFor(place, colour)) check(place, colour);
}

} // namespace qorva
