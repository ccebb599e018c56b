"""A spreadsheet on a display of its own: Xvfb with a chosen keymap, LibreOffice Calc on a
new sheet with a fresh profile, driven and read over UNO.

Every process started here is stopped by its own id; the display number comes from Xvfb
itself (-displayfd), the UNO pipe name from our process id, so runs side by side never meet.
"""

import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

sys.path.append("/usr/lib/python3/dist-packages")
import uno  # noqa: E402  (Debian's python3-uno)
from com.sun.star.beans import PropertyValue  # noqa: E402
from com.sun.star.lang import Locale  # noqa: E402

# Profile settings: no completion from the column's entries, no autocorrection of what is
# typed, no first-start dialogs that would take the focus, no recovery prompts.
_PROFILE_SETTINGS = [
    ("/org.openoffice.Office.Calc/Input", "AutoInput", "false"),
    ("/org.openoffice.Office.Common/Misc", "ShowTipOfTheDay", "false"),
    ("/org.openoffice.Office.Common/Misc", "FirstRun", "false"),
    ("/org.openoffice.Office.Recovery/AutoSave", "Enabled", "false"),
    ("/org.openoffice.Office.Recovery/RecoveryInfo", "Enabled", "false"),
    ("/org.openoffice.Setup/L10N", "DecimalSeparatorAsLocale", "true"),
] + [
    ("/org.openoffice.Office.Common/AutoCorrect", name, "false")
    for name in (
        "UseReplacementTable", "TwoCapitalsAtStart", "CapitalAtStartSentence",
        "ChangeUnderlineWeight", "SetInetAttribute", "ChangeOrdinalNumber", "ChangeDash",
        "AddNonBreakingSpace", "TransliterateRTL", "ChangeAngleQuotes", "RemoveDoubleSpaces",
        "CorrectAccidentalCapsLock", "ReplaceSingleQuote", "ReplaceDoubleQuote")
]


def _registry(locale):
    items = [
        f'<item oor:path="{path}"><prop oor:name="{name}" oor:op="fuse">'
        f"<value>{value}</value></prop></item>"
        for path, name, value in _PROFILE_SETTINGS + [
            ("/org.openoffice.Setup/L10N", "ooSetupSystemLocale", locale)]
    ]
    return ('<?xml version="1.0" encoding="UTF-8"?>\n'
            '<oor:items xmlns:oor="http://openoffice.org/2001/registry" '
            'xmlns:xs="http://www.w3.org/2001/XMLSchema" '
            'xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">\n'
            + "\n".join(items) + "\n</oor:items>\n")


def stop(process, grace=5.0):
    """Ends a process we started: SIGTERM, then SIGKILL after the grace time."""
    if process is None or process.poll() is not None:
        return
    process.send_signal(signal.SIGTERM)
    try:
        process.wait(grace)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()


class Display:
    """Xvfb on a free display number, with -noreset so the keymap stays when clients leave."""

    def __init__(self, keymap):
        read_end, write_end = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-noreset", "-nolisten", "tcp",
             "-screen", "0", "1280x1024x24"],
            pass_fds=(write_end,), stderr=subprocess.DEVNULL)
        os.close(write_end)
        number = b""
        deadline = time.monotonic() + 30
        while not number.endswith(b"\n"):
            if time.monotonic() > deadline or self.process.poll() is not None:
                raise RuntimeError("Xvfb did not start")
            number += os.read(read_end, 16)
        os.close(read_end)
        self.name = ":" + number.decode().strip()
        self.env = dict(os.environ, DISPLAY=self.name)
        subprocess.run(["setxkbmap", "-display", self.name, keymap], check=True)

    def close(self):
        stop(self.process)


class Calc:
    """Calc with a profile of its own in a temporary folder, one new spreadsheet."""

    def __init__(self, display, locale):
        self.locale = locale
        self.profile = tempfile.mkdtemp(prefix="qorva-calc-")
        user = os.path.join(self.profile, "user")
        os.makedirs(user)
        with open(os.path.join(user, "registrymodifications.xcu"), "w", encoding="utf-8") as f:
            f.write(_registry(locale))
        pipe = f"qorva_calc_{os.getpid()}_{display.name[1:]}"
        env = dict(display.env, SAL_USE_VCLPLUGIN="gen")
        self.process = subprocess.Popen(
            ["soffice", f"-env:UserInstallation=file://{self.profile}", "--norestore",
             "--nologo", "--nolockcheck", "--nodefault",
             f"--accept=pipe,name={pipe};urp;StarOffice.ComponentContext"],
            env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self._connect(pipe)
        self.doc = self.desktop.loadComponentFromURL("private:factory/scalc", "_blank", 0, ())
        self.sheet = self.doc.Sheets.getByIndex(0)
        self.controller = self.doc.getCurrentController()
        self.window = self.controller.getFrame().getContainerWindow()

    def _connect(self, pipe):
        local = uno.getComponentContext()
        resolver = local.ServiceManager.createInstanceWithContext(
            "com.sun.star.bridge.UnoUrlResolver", local)
        deadline = time.monotonic() + 90
        while True:
            try:
                context = resolver.resolve(
                    f"uno:pipe,name={pipe};urp;StarOffice.ComponentContext")
                break
            except Exception:
                if time.monotonic() > deadline or self.process.poll() is not None:
                    raise RuntimeError("Calc did not answer over UNO")
                time.sleep(0.2)
        self.desktop = context.ServiceManager.createInstanceWithContext(
            "com.sun.star.frame.Desktop", context)
        self.dispatcher = context.ServiceManager.createInstanceWithContext(
            "com.sun.star.frame.DispatchHelper", context)

    def prepare(self, origin, text_cells, extent="A1:GR600"):
        """Empties the sheet, gives its cells the text or the standard number format, puts
        the cursor on the origin and the keyboard focus on the sheet. The extent reaches
        past column Z: in the Tab-field layout a session runs along one row."""
        cells = self.sheet.getCellRangeByName(extent)
        cells.clearContents(1023)
        language, country = self.locale.split("-")
        formats = self.doc.getNumberFormats()
        kind = uno.getConstantByName(
            "com.sun.star.util.NumberFormat." + ("TEXT" if text_cells else "NUMBER"))
        cells.NumberFormat = formats.getStandardFormat(kind, Locale(language, country, ""))
        self._go_to(origin)
        self.window.setFocus()

    def _go_to(self, cell):
        """Moves the cell cursor as the Name Box does. Selecting the cell over the API would
        mark it, and Tab and Return then stay inside the one-cell mark."""
        target = PropertyValue()
        target.Name, target.Value = "ToPoint", cell
        self.dispatcher.executeDispatch(self.controller.getFrame(), ".uno:GoToCell", "", 0,
                                        (target,))

    def cells(self, rows, columns):
        """The cell contents of A1 to the given size: strings, and floats for numbers."""
        last = column_name(columns) + str(rows)
        return [list(row) for row in self.sheet.getCellRangeByName("A1:" + last).getDataArray()]

    def close(self):
        try:
            self.doc.setModified(False)
            self.desktop.terminate()
        except Exception:
            pass
        try:
            self.process.wait(10)
        except subprocess.TimeoutExpired:
            stop(self.process)
        shutil.rmtree(self.profile, ignore_errors=True)


def column_name(number):
    name = ""
    while number > 0:
        number, rest = divmod(number - 1, 26)
        name = chr(ord("A") + rest) + name
    return name
