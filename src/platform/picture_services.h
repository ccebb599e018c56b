#pragma once
// What the plate reader's pictures take from the platform: a font that draws a caption
// into a 1-bit bitmap, and a clipboard that takes the bitmap as a picture. The toolkit's
// backends live in platform/qt; the recording clipboard here serves replays and tests.
#include "platform/mono_bitmap.h"

#include <functional>
#include <string>

namespace qorva {

class CaptionFont {
  public:
    virtual ~CaptionFont() = default;
    // Draws text in black with its top left corner at (0, 0), in the platform's default
    // caption font. Each byte of text is one character (codes 128 to 255 as Latin-1).
    virtual void drawCaption(MonoBitmap& bitmap, const std::string& text) const = 0;
};

// Draws nothing: for runs that have no font to draw with.
class BlankCaptionFont : public CaptionFont {
  public:
    void drawCaption(MonoBitmap&, const std::string&) const override {}
};

class PictureClipboard {
  public:
    virtual ~PictureClipboard() = default;
    // Puts the bitmap on the clipboard as a picture; false (with the reason) when the
    // clipboard did not take it.
    virtual bool setPicture(const MonoBitmap& bitmap, std::string& error) = 0;
};

// Keeps each picture it is given and tells a listener.
class RecordingClipboard : public PictureClipboard {
  public:
    bool setPicture(const MonoBitmap& bitmap, std::string&) override {
        ++pictures_;
        last_ = bitmap;
        if (onPicture) onPicture(bitmap);
        return true;
    }
    int pictures() const { return pictures_; }
    const MonoBitmap& last() const { return last_; }
    std::function<void(const MonoBitmap&)> onPicture;

  private:
    int pictures_ = 0;
    MonoBitmap last_{0, 0};
};

// The physical resolution pictures carry: 96 dots per inch.
constexpr uint32_t kPictureDotsPerMetre = 3780;

} // namespace qorva
