#pragma once
// A small spreadsheet that reads key events the way a spreadsheet in its usual entry
// mode does, so a replay shows what the user would see in the cells.
#include "platform/keyboard.h"

#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <utility>

namespace qorva {

struct CellRef {
    int row = 1, col = 1; // 1-based; column 1 is A
};

// "A1", "c12", "AA3"; nullopt when the text is no cell reference.
std::optional<CellRef> ParseCellRef(const std::string& text);

class SheetPreview : public KeyboardPort {
  public:
    explicit SheetPreview(CellRef origin = {}, char decimalSeparator = '.');

    void sendKey(const KeyEvent& event) override;
    void clipboardPicture(int w, int h) override;

    // Stores a pending edit text, as leaving the cell would.
    void finish();
    // The sheet as CSV: rows 1..last used, each up to its last used cell, LF line ends.
    void writeCsv(std::ostream& out) const;
    std::string csv() const;
    std::string cell(int row, int col) const;
    CellRef cursor() const { return cursor_; }
    const std::string& editText() const { return edit_; }

  private:
    void onPress(int vk);
    void commit();
    void moveBy(int rows, int cols);
    void tabMove(int cols);
    void returnMove(int rows);
    void paste();
    void type(char c);

    // Cell texts and the pictures pasted over cells, by (row, column).
    std::map<std::pair<int, int>, std::string> cells_, pictures_;
    CellRef cursor_;
    std::string edit_;
    char decimalSeparator_;
    bool shift_ = false, ctrl_ = false, alt_ = false;
    std::optional<int> tabRunColumn_;
    std::optional<std::string> clipboard_;
    bool pictureSelected_ = false;
};

} // namespace qorva
