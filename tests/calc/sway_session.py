"""A Wayland desktop of its own: headless sway with a chosen keyboard layout, no Xwayland,
for LibreOffice Calc as a native Wayland client (its GTK 3 toolkit on the Wayland backend).

sway refuses to run as root: under root it runs as the unprivileged user nobody through
setpriv, with a runtime folder of its own (mode 700) that root's clients still reach.
Every process started here is stopped by its own id.
"""

import glob
import os
import shutil
import stat
import subprocess
import tempfile
import time

from calc_session import stop

NOBODY = 65534


class Sway:
    """Headless sway; keyboards it configures get the given XKB layout."""

    keys = "wayland"  # the qorva --keys port that types into it

    def __init__(self, layout):
        self.runtime = tempfile.mkdtemp(prefix="qorva-sway-")
        config = os.path.join(self.runtime, "config")
        with open(config, "w", encoding="utf-8") as f:
            f.write(f"xwayland disable\ninput type:keyboard xkb_layout {layout}\n")
        os.chmod(config, 0o644)
        command = ["sway", "-c", config]
        if os.geteuid() == 0:
            os.chown(self.runtime, NOBODY, NOBODY)
            command = ["setpriv", f"--reuid={NOBODY}", f"--regid={NOBODY}",
                       "--clear-groups"] + command
        env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "HOME": self.runtime,
               "XDG_RUNTIME_DIR": self.runtime, "WLR_BACKENDS": "headless",
               "WLR_LIBINPUT_NO_DEVICES": "1", "WLR_RENDERER": "pixman",
               "WLR_HEADLESS_OUTPUTS": "1"}
        self.log = open(os.path.join(tempfile.gettempdir(),
                                     f"qorva-sway-{os.getpid()}.log"), "w")
        self.process = subprocess.Popen(command, env=env, stdout=self.log, stderr=self.log)
        self.name = self._wait_for("wayland-[0-9]*")
        self.ipc = self._wait_for("sway-ipc.*.sock")
        self.tag = "wl" + str(self.process.pid)
        self.env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
        self.env.update(XDG_RUNTIME_DIR=self.runtime, WAYLAND_DISPLAY=self.name)

    def _wait_for(self, pattern):
        """The name of the first socket in the runtime folder that matches the pattern."""
        deadline = time.monotonic() + 30
        while time.monotonic() < deadline:
            if self.process.poll() is not None:
                with open(self.log.name, encoding="utf-8", errors="replace") as log:
                    raise RuntimeError("sway ended at start: " + log.read()[-2000:])
            for path in sorted(glob.glob(os.path.join(self.runtime, pattern))):
                if stat.S_ISSOCK(os.stat(path).st_mode):
                    return os.path.basename(path)
            time.sleep(0.1)
        raise RuntimeError("sway did not open its sockets")

    def calc_env(self):
        return dict(self.env, SAL_USE_VCLPLUGIN="gtk3", GDK_BACKEND="wayland")

    def command(self, text):
        """Runs a sway command; its answer, or None when sway refused it."""
        run = subprocess.run(["swaymsg", "-s", os.path.join(self.runtime, self.ipc), text],
                             capture_output=True, text=True, timeout=10)
        return run.stdout if run.returncode == 0 else None

    def focus(self, calc):
        """Gives Calc's window the compositor's keyboard focus and the sheet Calc's own."""
        deadline = time.monotonic() + 30
        while self.command('[app_id="libreoffice-calc"] focus') is None:
            if time.monotonic() > deadline:
                raise RuntimeError("sway has no Calc window to focus")
            time.sleep(0.2)
        calc.window.setFocus()

    def close(self):
        stop(self.process)
        self.log.close()
        os.remove(self.log.name)
        shutil.rmtree(self.runtime, ignore_errors=True)
