// qorva: the program. With no option it opens its window; `qorva --screenshots DIR`
// renders every window to DIR and exits. `qorva --headless` runs it without a window on the
// real-time event loop: the serial port opened as start-up does, START pressed, keys typed into the
// chosen keyboard port, until Ctrl+C or SIGTERM closes it as the window's close does.
#include "platform/beep.h"
#include "platform/clock.h"
#include "platform/desktop_ports.h"
#include "platform/keyboard.h"
#include "platform/picture_services.h"
#include "platform/port_map.h"
#include "platform/profile.h"
#include "platform/qt/qt_pictures.h"
#include "platform/sheet_preview.h"
#include "platform/system.h"
#include "shell/application.h"
#include "shell/command_line.h"
#include "shell/main_frm.h"
#include "shell/set_option.h"
#include "shell/settings_file.h"
#ifdef QORVA_GUI
#include "gui/gui_program.h"
#endif

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

using namespace qorva;
using cli::Fail;

namespace {

constexpr const char* kSettingsFile = "qorva.ini";

// The desktop ports this build has, then the two that need no desktop.
std::vector<std::string> keyChoices() {
    std::vector<std::string> choices = DesktopKeyNames();
    choices.insert(choices.end(), {"trace", "sheet"});
    return choices;
}

struct Options {
    bool headless = false;
    std::optional<std::string> screenshots; // the folder the windows are rendered to
    std::vector<std::string> assignments;
    std::optional<std::string> port;
    std::string keys; // empty: chosen by the desktop
};

bool haveDesktopKeys(const std::string& name) {
    const auto names = DesktopKeyNames();
    return std::find(names.begin(), names.end(), name) != names.end();
}

bool sessionVariableSet(const char* name) {
    const char* value = std::getenv(name);
    return value && *value;
}

// The session's own port: on a Wayland session the compositor's virtual keyboard, uinput
// when the compositor offers none; X11 when an X display is reachable. Says which it took
// and why; name becomes its --keys name.
std::unique_ptr<DesktopKeyboard> openSessionKeyboard(std::string& name) {
    std::string refusals;
    const auto take = [&](const std::string& port,
                          const std::string& reason) -> std::unique_ptr<DesktopKeyboard> {
        if (!haveDesktopKeys(port)) return nullptr;
        std::string error;
        auto keyboard = OpenDesktopKeyboard(port, error);
        if (!keyboard) {
            refusals += "; " + port + ": " + error;
            return nullptr;
        }
        name = port;
        cli::Report("keys through " + port + ": " + reason + refusals);
        return keyboard;
    };
    if (sessionVariableSet("WAYLAND_DISPLAY")) {
        if (auto keyboard = take("wayland", "the Wayland compositor offers a virtual keyboard"))
            return keyboard;
        if (auto keyboard = take("uinput", "a Wayland session")) return keyboard;
    }
    if (sessionVariableSet("DISPLAY")) {
        if (auto keyboard = take("x11", "an X display is reachable")) return keyboard;
    }
    Fail("no desktop session to type into" + refusals + "; choose --keys " +
         cli::OneOf(keyChoices()));
}

Options parseOptions(int argc, char** argv) {
    Options options;
    cli::CommandLine line("qorva", "Reads a measuring instrument on a serial line and types "
                                   "its measurements into the focused application.");
    line.flag("--headless", options.headless, "run without a window");
    line.text("--screenshots", options.screenshots, "DIR",
              "render every window and page to DIR/<form>-<page>.png and exit");
    AddSetOption(line, options.assignments);
    line.text("--port", options.port, "PATH", "the device the chosen port opens");
    line.choice("--keys", options.keys, keyChoices(),
                "where keys go (default: the desktop's X display or Wayland session)");
    line.parse(argc, argv);
#ifndef QORVA_GUI
    if (!options.headless) Fail("this build has no window; run it with --headless");
#endif
    if (options.screenshots) {
        if (options.headless) Fail("--screenshots renders the windows; it takes no --headless");
        options.keys = "sheet";
    }
    return options;
}

// The window's loop ends on a quit request; the headless program only notes the signal
// and ends between two records, so the one being typed is finished with its pauses.
EventLoop* quitOnSignal = nullptr;
volatile std::sig_atomic_t stopRequested = 0;

void onSignal(int) {
    stopRequested = 1;
    if (quitOnSignal) quitOnSignal->requestQuit();
}

} // namespace

int main(int argc, char** argv) {
    Options options = parseOptions(argc, argv);

    const ProfileFile ini = ProfileFile::load(kSettingsFile);
    PortMap portMap;
    ReadPortMap(ini, portMap);
    if (options.port) portMap.assignEvery(*options.port);

        // The window's loop runs the core over Qt's events; without a window the plain
        // real-time loop runs it.
#ifdef QORVA_GUI
    std::unique_ptr<gui::GuiSession> window;
    if (!options.headless)
        window = std::make_unique<gui::GuiSession>(options.screenshots ? "offscreen" : "");
#endif
    const auto realTimeLoop = MakeRealTimeEventLoop();
    TerminalBeeper terminalBeeper(std::cerr);
    EventLoop* chosenLoop = realTimeLoop.get();
    Beeper* chosenBeeper = &terminalBeeper;
    WindowSystem* windows = nullptr;
#ifdef QORVA_GUI
    if (window) {
        chosenLoop = &window->loop();
        chosenBeeper = &window->beeper;
        windows = &window->windows();
    }
#endif
    EventLoop& loop = *chosenLoop;
    // From here on Ctrl+C or SIGTERM closes the program as its window's close does, even
    // when it arrives while start-up still runs.
#ifdef QORVA_GUI
    if (window) quitOnSignal = &loop;
#endif
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    // A closed standard output is a failed write, not the end of the program.
    std::signal(SIGPIPE, SIG_IGN);
    SystemClock clock;
    UsKeyLayout layout;
    const auto serialPorts = MakeSystemSerialPorts();
    Beeper& beeper = *chosenBeeper;
    SheetPreview sheet;
    TraceKeyboard trace(std::cout);
    std::unique_ptr<DesktopKeyboard> desktop;
    KeyboardPort* keyboard = options.keys == "trace" ? static_cast<KeyboardPort*>(&trace) : &sheet;
    const KeyLayout* keyLayout = &layout;
    if (options.keys.empty()) {
        desktop = openSessionKeyboard(options.keys);
    } else if (options.keys != "trace" && options.keys != "sheet") {
        std::string error;
        desktop = OpenDesktopKeyboard(options.keys, error);
        if (!desktop) Fail(error);
    }
    if (desktop) {
        // Some targets take a cell only well after a cursor move ([keys] MoveWait, in ms),
        // and each port waits after every key event so no target is flooded ([keys] KeyWait).
        desktop->setMoveSettleMs(ReadMoveWait(ini));
        desktop->setKeyWaitMs(ReadKeyWait(ini, desktop->keyWaitMs()));
        desktop->setFaultSink(cli::Report);
        keyboard = desktop.get();
        if (desktop->layout()) keyLayout = desktop->layout();
    }

    // Pictures go on the desktop's clipboard through a Qt Gui application on the X
    // display; typing into a trace or sheet keeps them in memory.
    QtCaptionFont captionFont;
    RecordingClipboard keptPictures;
    PictureClipboard* clipboard = &keptPictures;
    std::unique_ptr<QtGuiSession> gui;
    std::unique_ptr<QtClipboard> desktopClipboard;
    const char* display = std::getenv("DISPLAY");
    if (desktop && display && *display) {
        std::string error;
        gui = QtGuiSession::adoptRunning();
        if (!gui) gui = QtGuiSession::start("xcb", error);
        if (!gui) Fail(error);
        desktopClipboard = std::make_unique<QtClipboard>(*gui, loop);
        clipboard = desktopClipboard.get();
    }
    const auto launcher = MakeSystemLauncher();
    QorvaApplication app(
        PlatformServices{loop, *keyboard, *keyLayout, clock, *serialPorts, portMap, beeper,
                         *clipboard, captionFont, PicturePaste::defaultTemplates(), windows},
        *launcher, ApplicationSettings{kSettingsFile, options.screenshots.has_value()}, std::cerr);
    TMainFrm& frm = app.frm;
    frm.faults.setSink(cli::Report);
    ApplySetOptions(frm.form, options.assignments);
#ifdef QORVA_GUI
    if (window && options.screenshots) {
        std::string error;
        if (!window->screenshots(app, *options.screenshots, error)) Fail(error);
        return 0;
    }
    if (window) {
        window->run(app);
        return 0;
    }
#endif
    frm.Button3.Click();
    std::cerr << "qorva: " << frm.StatusBar1.SimpleText() << " (" << frm.CommportPath.Caption()
              << "); Ctrl+C ends\n";

    // Short slices: a signal is seen within one, and typing is never cut inside it.
    // What was typed into the trace goes out each slice, so a closed output is seen at once.
    while (!stopRequested && std::cout.flush()) loop.runUntil(loop.now() + 50);

    const bool outputLost = !std::cout;
    if (outputLost) cli::Report("standard output is closed; the program ends");
    app.Close();
    if (options.keys == "sheet") {
        sheet.finish();
        sheet.writeCsv(std::cout);
    }
    return outputLost ? 1 : 0;
}
