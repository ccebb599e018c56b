#pragma once
// A plate reader's picture from its characters to the target: drawn on the template
// bitmap below its caption (with the date and time when they are output), put on the
// clipboard and pasted with Ctrl+V or Shift+Insert as CTRLV chooses.
#include "platform/record_text.h"

#include <string>
#include <vector>

namespace qorva {

class CaptionFont;
class ClockProvider;
class FaultLog;
class KeySink;
class KeyboardPort;
class MonoBitmap;
class PictureClipboard;
class TCheckBox;
class TRadioButton;
class TStatusBar;

struct PicturePasteContext {
    KeySink& keys;
    KeyboardPort& keyboard; // told of every picture put on the clipboard
    PictureClipboard& clipboard;
    const CaptionFont& font;
    const ClockProvider& clock;
    const TCheckBox& Datumaus;
    const TCheckBox& Zeitaus;
    const TRadioButton& CTRLV;
    TStatusBar& StatusBar1;
    FaultLog& faults;
    // Where the template empty.bmp is looked for, in order.
    std::vector<std::string> templatePaths;
};

class PicturePaste {
  public:
    static constexpr const char* kTemplateName = "empty.bmp";
    static constexpr const char* kNotPasted = "Error: picture not pasted: ";

    explicit PicturePaste(const PicturePasteContext& context) : ctx_(context) {}
    // empty.bmp in the current folder, where existing setups keep theirs, then the one
    // installed beside the program.
    static std::vector<std::string> defaultTemplates();

    // Draws the picture whose first character is source's first, under caption, and
    // pastes it. False when nothing was pasted (no usable template, or the clipboard
    // refused the picture): the status text says why.
    bool paste(const RecordText& caption, const RecordText& source);

  private:
    bool loadTemplate(MonoBitmap& bitmap);
    RecordText captionWithDateAndTime(const RecordText& caption) const;
    void fail(const std::string& reason);

    PicturePasteContext ctx_;
    bool reported_ = false;
};

} // namespace qorva
