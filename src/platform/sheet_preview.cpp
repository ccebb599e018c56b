#include "platform/sheet_preview.h"

#include <algorithm>
#include <cctype>
#include <sstream>

namespace qorva {

std::optional<CellRef> ParseCellRef(const std::string& text) {
    size_t i = 0;
    long col = 0;
    while (i < text.size() && std::isalpha(static_cast<unsigned char>(text[i]))) {
        col = col * 26 + (std::toupper(static_cast<unsigned char>(text[i])) - 'A' + 1);
        if (col > 100000) return std::nullopt;
        ++i;
    }
    if (i == 0 || i == text.size()) return std::nullopt;
    long row = 0;
    for (; i < text.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(text[i]))) return std::nullopt;
        row = row * 10 + (text[i] - '0');
        if (row > 10000000) return std::nullopt;
    }
    if (row < 1) return std::nullopt;
    return CellRef{static_cast<int>(row), static_cast<int>(col)};
}

std::string CellName(CellRef cell) {
    std::string column;
    for (int n = cell.col; n > 0; n = (n - 1) / 26)
        column.insert(column.begin(), static_cast<char>('A' + (n - 1) % 26));
    return column + std::to_string(cell.row);
}

SheetPreview::SheetPreview(CellRef origin, char decimalSeparator)
    : cursor_(origin), decimalSeparator_(decimalSeparator) {}

void SheetPreview::sendKey(const KeyEvent& event) {
    switch (event.vk) {
    case vk::Shift:
        shift_ = event.press;
        return;
    case vk::Control:
        ctrl_ = event.press;
        return;
    case vk::Menu:
        alt_ = event.press;
        return;
    }
    if (event.press) onPress(event.vk);
}

void SheetPreview::clipboardPicture(int w, int h) {
    clipboard_ = "[picture " + std::to_string(w) + "x" + std::to_string(h) + "]";
}

void SheetPreview::onPress(int key) {
    if (key == vk::Escape) {
        edit_.clear();
        pictureSelected_ = false;
        return;
    }
    if ((ctrl_ && key == 'V') || (shift_ && !ctrl_ && key == vk::Insert)) {
        paste();
        return;
    }
    if (pictureSelected_ || ctrl_ || alt_) return;
    switch (key) {
    case vk::Left:
        moveBy(0, -1);
        return;
    case vk::Right:
        moveBy(0, 1);
        return;
    case vk::Up:
        moveBy(-1, 0);
        return;
    case vk::Down:
        moveBy(1, 0);
        return;
    case vk::Tab:
        tabMove(shift_ ? -1 : 1);
        return;
    case vk::Return:
        returnMove(shift_ ? -1 : 1);
        return;
    case vk::Decimal:
        type(decimalSeparator_);
        return;
    }
    if (const auto c = UsKeyLayout::charForKey(key, shift_)) type(*c);
}

void SheetPreview::type(char c) {
    // The edit belongs to the record that began it, even when a later one stores it.
    if (edit_.empty()) editRecord_ = record_;
    edit_ += c;
}

void SheetPreview::store(std::map<std::pair<int, int>, Entry>& layer, const std::string& text,
                         const std::string& record) {
    Entry& entry = layer[{cursor_.row, cursor_.col}];
    if (!entry.text.empty())
        overwrites_.push_back({cursor_, entry.text, entry.record, text, record});
    entry = {text, record};
}

void SheetPreview::commit() {
    if (edit_.empty()) return;
    store(cells_, edit_, editRecord_);
    edit_.clear();
}

void SheetPreview::moveBy(int rows, int cols) {
    commit();
    tabRunColumn_.reset();
    cursor_.row = std::max(1, cursor_.row + rows);
    cursor_.col = std::max(1, cursor_.col + cols);
}

void SheetPreview::tabMove(int cols) {
    commit();
    if (!tabRunColumn_) tabRunColumn_ = cursor_.col;
    cursor_.col = std::max(1, cursor_.col + cols);
}

void SheetPreview::returnMove(int rows) {
    commit();
    cursor_.row = std::max(1, cursor_.row + rows);
    if (tabRunColumn_) cursor_.col = *tabRunColumn_;
    tabRunColumn_.reset();
}

void SheetPreview::paste() {
    if (pictureSelected_) return;
    commit();
    if (!clipboard_) return;
    store(pictures_, *clipboard_, record_);
    pictureSelected_ = true;
}

void SheetPreview::finish() {
    commit();
}

std::string SheetPreview::cell(int row, int col) const {
    std::string shown;
    if (const auto picture = pictures_.find({row, col}); picture != pictures_.end())
        shown = picture->second.text;
    if (const auto text = cells_.find({row, col}); text != cells_.end()) shown += text->second.text;
    return shown;
}

static std::string csvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

void SheetPreview::writeCsv(std::ostream& out) const {
    std::map<int, int> lastColumnOfRow;
    for (const auto* layer : {&cells_, &pictures_})
        for (const auto& [at, entry] : *layer)
            lastColumnOfRow[at.first] = std::max(lastColumnOfRow[at.first], at.second);
    if (lastColumnOfRow.empty()) return;
    const int lastRow = lastColumnOfRow.rbegin()->first;
    for (int row = 1; row <= lastRow; ++row) {
        const auto used = lastColumnOfRow.find(row);
        const int lastColumn = used == lastColumnOfRow.end() ? 0 : used->second;
        for (int col = 1; col <= lastColumn; ++col)
            out << (col > 1 ? "," : "") << csvField(cell(row, col));
        out << '\n';
    }
}

std::string SheetPreview::csv() const {
    std::ostringstream out;
    writeCsv(out);
    return out.str();
}

} // namespace qorva
