#pragma once
// The plate reader's pictures on Qt Gui: a Qt Gui application on a chosen platform
// (xcb to own the desktop's clipboard, offscreen to draw captions without a display),
// the caption font, and the clipboard, which is served from the program's event loop
// for as long as the program owns it.
#include "platform/picture_services.h"

#include <memory>
#include <string>

class QGuiApplication;

namespace qorva {

class EventLoop;

class QtGuiSession {
  public:
    // Starts the application on the named platform plugin ("xcb", "offscreen"), or on
    // Qt's choice when platform is empty; nullptr with the reason when it cannot start.
    static std::unique_ptr<QtGuiSession> start(const std::string& platform, std::string& error);
    // A session over the Qt application that runs already (the window's); nullptr when
    // none runs.
    static std::unique_ptr<QtGuiSession> adoptRunning();
    ~QtGuiSession();
    QtGuiSession(const QtGuiSession&) = delete;
    QtGuiSession& operator=(const QtGuiSession&) = delete;

    // Handles what the window system asked for since the last call (a paste reading the
    // clipboard), without waiting.
    void serveEvents();

  private:
    QtGuiSession();
    std::unique_ptr<QGuiApplication> app_;
};

// DejaVu Sans at 11 pixels, drawn without smoothing; the font file is named, so every
// machine draws the same pixels. Starts an offscreen session when none runs yet.
class QtCaptionFont : public CaptionFont {
  public:
    void drawCaption(MonoBitmap& bitmap, const std::string& text) const override;
    static constexpr const char* kFontFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
    static constexpr int kPixelSize = 11;

  private:
    mutable std::unique_ptr<QtGuiSession> ownSession_;
};

// The picture goes on the clipboard as a 1-bit image with 96 dots per inch; from then on
// the session serves the clipboard on the program's loop every kServeMs.
class QtClipboard : public PictureClipboard {
  public:
    QtClipboard(QtGuiSession& session, EventLoop& loop) : session_(session), loop_(loop) {}
    ~QtClipboard() override;
    bool setPicture(const MonoBitmap& bitmap, std::string& error) override;
    static constexpr int kServeMs = 10;

  private:
    QtGuiSession& session_;
    EventLoop& loop_;
    int serveTimer_ = 0;
};

} // namespace qorva
