"""A spreadsheet on a display of its own: Xvfb with a chosen keymap, LibreOffice Calc on a
new sheet with a fresh profile, driven and read over UNO.

Every process started here is stopped by its own id; the display number comes from Xvfb
itself (-displayfd), the UNO pipe name from our process id, so runs side by side never meet.
"""

import os
import shutil
import struct
import signal
import subprocess
import sys
import tempfile
import time
import zlib

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

    keys = "x11"  # the qorva --keys port that types into it

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
        self.tag = self.name[1:]
        self.env = dict(os.environ, DISPLAY=self.name)
        subprocess.run(["setxkbmap", "-display", self.name, keymap], check=True)

    def calc_env(self):
        return dict(self.env, SAL_USE_VCLPLUGIN="gen")

    def focus(self, calc):
        """Gives the sheet the keyboard focus."""
        calc.window.setFocus()

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
        pipe = f"qorva_calc_{os.getpid()}_{display.tag}"
        env = display.calc_env()
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
        self.context = context
        self.desktop = context.ServiceManager.createInstanceWithContext(
            "com.sun.star.frame.Desktop", context)
        self.dispatcher = context.ServiceManager.createInstanceWithContext(
            "com.sun.star.frame.DispatchHelper", context)

    def prepare(self, origin, text_cells, extent="A1:GR600"):
        """Empties the sheet, gives its cells the text or the standard number format and puts
        the cursor on the origin. The extent reaches
        past column Z: in the Tab-field layout a session runs along one row."""
        cells = self.sheet.getCellRangeByName(extent)
        cells.clearContents(1023)
        page = self.sheet.DrawPage
        while page.Count:
            page.remove(page.getByIndex(0))
        language, country = self.locale.split("-")
        formats = self.doc.getNumberFormats()
        kind = uno.getConstantByName(
            "com.sun.star.util.NumberFormat." + ("TEXT" if text_cells else "NUMBER"))
        cells.NumberFormat = formats.getStandardFormat(kind, Locale(language, country, ""))
        self._go_to(origin)

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

    def pictures(self):
        """The graphic objects on the sheet, left to right and top to bottom: for each its
        anchor cell as "C2" (None when not anchored to a cell), its size in pixels and
        its pixels as rows of 0 (black) and 1 (white)."""
        found = []
        page = self.sheet.DrawPage
        for k in range(page.Count):
            shape = page.getByIndex(k)
            graphic = getattr(shape, "Graphic", None)
            if graphic is None:
                continue
            anchor = shape.Anchor
            cell = None
            if hasattr(anchor, "CellAddress"):
                address = anchor.CellAddress
                cell = column_name(address.Column + 1) + str(address.Row + 1)
            size = graphic.SizePixel
            found.append((cell, (size.Width, size.Height), self._pixels(graphic)))
        return found

    def _pixels(self, graphic):
        provider = self.context.ServiceManager.createInstanceWithContext(
            "com.sun.star.graphic.GraphicProvider", self.context)
        folder = tempfile.mkdtemp(prefix="qorva-graphic-")
        try:
            path = os.path.join(folder, "picture.png")
            url, mime = PropertyValue(), PropertyValue()
            url.Name, url.Value = "URL", "file://" + path
            mime.Name, mime.Value = "MimeType", "image/png"
            provider.storeGraphic(graphic, (url, mime))
            with open(path, "rb") as f:
                return read_png(f.read())
        finally:
            shutil.rmtree(folder, ignore_errors=True)

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


def read_png(data):
    """A PNG of 1 to 8 bits per sample, grey, palette, RGB or with alpha, not interlaced,
    as rows of 0 (dark) and 1 (light)."""
    width, height, depth, kind = struct.unpack_from(">IIBB", data, 16)
    at, idat, palette = 8, b"", []
    while at < len(data):
        length, name = struct.unpack_from(">I4s", data, at)
        body = data[at + 8:at + 8 + length]
        if name == b"IDAT":
            idat += body
        elif name == b"PLTE":
            palette = [body[k:k + 3] for k in range(0, len(body), 3)]
        at += 12 + length
    samples = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}[kind]
    bits = samples * depth
    stride, unit = (width * bits + 7) // 8, max(1, bits // 8)
    raw, rows, previous = zlib.decompress(idat), [], bytearray(stride)
    for y in range(height):
        kind_of_filter = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            left = line[i - unit] if i >= unit else 0
            up, corner = previous[i], previous[i - unit] if i >= unit else 0
            if kind_of_filter == 1:
                line[i] = (line[i] + left) & 255
            elif kind_of_filter == 2:
                line[i] = (line[i] + up) & 255
            elif kind_of_filter == 3:
                line[i] = (line[i] + (left + up) // 2) & 255
            elif kind_of_filter == 4:
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                line[i] = (line[i] + (left if pa <= pb and pa <= pc else
                                      up if pb <= pc else corner)) & 255
        previous, row = line, []
        for x in range(width):
            if depth < 8:
                value = (line[x * bits // 8] >> (8 - bits - x * bits % 8)) & ((1 << depth) - 1)
            else:
                value = line[x * unit]
            if kind == 3:
                red, green, blue = palette[value]
            elif kind in (2, 6):
                red, green, blue = line[x * unit:x * unit + 3]
            else:
                red = green = blue = value * 255 // ((1 << depth) - 1)
            row.append(1 if red * 299 + green * 587 + blue * 114 >= 128000 else 0)
        rows.append(row)
    return rows
