#pragma once
// A small spreadsheet that reads key events the way a spreadsheet in its usual entry
// mode does, so a replay shows what the user would see in the cells.
#include "platform/keyboard.h"

#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace qorva {

struct CellRef {
    int row = 1, col = 1; // 1-based; column 1 is A
};

// "A1", "c12", "AA3"; nullopt when the text is no cell reference.
std::optional<CellRef> ParseCellRef(const std::string& text);
std::string CellName(CellRef cell);

// A cell that received a second value (or a picture over a picture): what was lost, what
// took its place, and the records that typed each.
struct Overwrite {
    CellRef at;
    std::string lost, lostRecord;
    std::string value, record;
};

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

    // Names the record whose keys come next, for the overwrites it causes.
    void beginRecord(std::string label) { record_ = std::move(label); }
    // Every value this sheet stored over one it had stored before, in order.
    const std::vector<Overwrite>& overwrites() const { return overwrites_; }

  private:
    void onPress(int vk);
    void commit();
    void moveBy(int rows, int cols);
    void tabMove(int cols);
    void returnMove(int rows);
    void paste();
    void type(char c);

    struct Entry {
        std::string text, record;
    };
    void store(std::map<std::pair<int, int>, Entry>& layer, const std::string& text,
               const std::string& record);

    // Cell texts and the pictures pasted over cells, by (row, column).
    std::map<std::pair<int, int>, Entry> cells_, pictures_;
    std::vector<Overwrite> overwrites_;
    std::string record_, editRecord_;
    CellRef cursor_;
    std::string edit_;
    char decimalSeparator_;
    bool shift_ = false, ctrl_ = false, alt_ = false;
    std::optional<int> tabRunColumn_;
    std::optional<std::string> clipboard_;
    bool pictureSelected_ = false;
};

} // namespace qorva
