#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""Drives Kelmora in Xvfb through the accessibility bus, as a screen reader would, under a window
manager or none; checks the outer heights, saves screenshots. Usage: PROGRAM FOLDER [WM]"""

import contextlib, os, pathlib, re, shutil, signal, subprocess, sys, tempfile, time

TITLE = "Zkoušení řeckých znaků"
SCREEN = (1024, 768)
TYPED, TALL = (3165 // 15, 188), (8145 // 15, 512)  # outer height; the lowest control's bottom


class Failure(BaseException): pass  # wait_for swallows a probe's Exception, never this


def fail(signum, frame):
    raise Failure(f"stopped by signal {signum} (the whole run may take 90 s)")


def wait_for(probe, what, timeout=20):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        with contextlib.suppress(Exception):  # an object may vanish while the window changes
            if result := probe():
                return result
        time.sleep(0.05)
    raise Failure(f"timed out after {timeout} s waiting for {what}")


class Session:
    """X, the buses, the window manager and the program, each in a process group of its own."""

    def __init__(self, workdir, screenshots, prefix):
        self.processes, self.screenshots, self.prefix = [], screenshots, prefix
        self.env = dict(os.environ, XDG_RUNTIME_DIR=workdir, QT_QPA_PLATFORM="xcb",
                        QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1")
        self.env.pop("WAYLAND_DISPLAY", None)  # set, even empty, typing through AT-SPI fails

    def spawn(self, argv, stderr=subprocess.DEVNULL, **kwargs):
        self.processes.append(subprocess.Popen(argv, env=self.env, start_new_session=True,
            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=stderr, **kwargs))
        return self.processes[-1]

    def announced(self, argv):
        """Starts a server that writes its address to the file descriptor FD once it is ready."""
        read_end, write_end = os.pipe()
        self.spawn([a.replace("FD", str(write_end)) for a in argv], pass_fds=(write_end,))
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            return pipe.readline().strip() or sys.exit(f"FAIL: {argv[0]} did not start")

    def output(self, *argv):
        return subprocess.run(argv, env=self.env, capture_output=True, text=True, timeout=10).stdout

    def stop(self):
        for process in reversed(self.processes):
            with contextlib.suppress(ProcessLookupError):
                os.killpg(process.pid, signal.SIGKILL)
            process.wait()

    def showing(self, accessible):
        return accessible.getState().contains(self.at.STATE_SHOWING)

    def shown(self, role, name, root=None):
        return wait_for(lambda: self.at.findDescendant(root or self.app, lambda o: o is not None and
            o.getRoleName() == role and o.name == name and self.showing(o)), f"{role} '{name}' to show")

    def shown_labels(self):
        found = self.at.findAllDescendants(self.app, lambda o: o.getRoleName() == "label")
        return [o.name for o in found if self.showing(o)]

    def press(self, role, name, action="Press", root=None):
        actions = self.shown(role, name, root).queryAction()
        actions.doAction([actions.getName(i) for i in range(actions.nActions)].index(action))

    def click(self, accessible):
        x, y, width, height = accessible.queryComponent().getExtents(self.at.DESKTOP_COORDS)
        self.at.Registry.generateMouseEvent(x + width // 2, y + height // 2, "b1c")

    def frame(self, title):
        """The outer box (x, y, width, height) of the titled window, frame included; its height."""
        for line in self.output("xwininfo", "-root", "-tree").splitlines():
            if match := re.match(r"( +)0x\w+ (.*?)  (\d+)x(\d+)\S*  ([+-]\d+)([+-]\d+)$", line):
                box = [int(match[5]), int(match[6]), int(match[3]), int(match[4])]
                outer = box if len(match[1]) == 5 else outer  # a child of the root window
                if match[2].startswith(f'"{title}"'):
                    return outer, box[3]

    def check_height(self, layout):
        """The design's outer height, or taller where a frame would cut the lowest control."""
        (x, y, width, height), client = wait_for(lambda: (lambda f: f if f[1] == max(layout[1], layout[0] -
            f[0][3] + f[1]) and (f[1] < f[0][3]) == (self.prefix != "bare") else None)(self.frame(TITLE)),
            f"an outer height of {layout[0]} px, or the client area just down to {layout[1]}")
        if y + height > SCREEN[1] - 500 / 15:
            raise Failure(f"the window reaches down to {y + height}, too near the screen bottom")

    def screenshot(self, name, title=TITLE):
        x, y, width, height = self.frame(title)[0]
        shots = [b""]  # Qt paints after the change that made the object show: two grabs alike
        png = wait_for(lambda: shots.append(subprocess.run(["import", "-window", "root", "-crop",
            f"{width}x{height}+{x}+{y}", "+repage", "png:-"], env=self.env, capture_output=True,
            timeout=10).stdout) or shots[-1] == shots[-2] and shots[-1], "a steady picture")
        with open(os.path.join(self.screenshots, f"{self.prefix}-{name}.png"), "wb") as file:
            file.write(png)


def walk_through(s):
    for text in "Zbývá znaků - 51", "A - 0", "E - 0", "0 / 0":
        s.shown("label", text)
    s.check_height(TYPED)
    # The window takes the keyboard once active; without a window manager a click makes it so.
    s.click(s.shown("label", "Zbývá znaků - 51"))
    wait_for(lambda: s.window.getState().contains(s.at.STATE_ACTIVE), "the window to be active")
    s.press("push button", "START")
    answer = s.shown("text", "Název znaku")
    wait_for(lambda: answer.getState().contains(s.at.STATE_FOCUSED), "the focus in the answer")
    # Typed through the X server; no Greek character is called "xyz".
    s.at.Registry.generateKeyboardEvent(0, "xyz", s.at.KEY_STRING)
    wait_for(lambda: answer.queryText().getText(0, -1) == "xyz", "'xyz' in the answer box")
    s.at.Registry.generateKeyboardEvent(0xFF0D, None, s.at.KEY_SYM)  # Return
    s.shown("label", "ŠPATNĚ")
    s.screenshot("01-typed-names-wrong")
    s.press("push button", "Pokračovat")
    s.shown("label", "0 / 1") and s.shown("label", "D - 1")
    s.press("push button", "STOP")
    s.shown("push button", "START")  # a pressed button clicks a moment later
    s.click(s.shown("radio button", "Vybírat obrázky"))
    boxes = [s.shown("push button", f"Obrázek {i}") for i in range(1, 22)]
    s.check_height(TALL)
    s.press("push button", "START")
    wait_for(lambda: any(re.fullmatch("(mal|velk)[áéý]", t) for t in s.shown_labels()),
             "the phrase of the sought character (malá, velké …)")
    s.click(boxes[0])
    wait_for(lambda: {"Správně", "ŠPATNĚ"} & set(s.shown_labels()), "the verdict")
    s.screenshot("02-picture-choice-verdict")
    s.press("push button", "STOP")
    s.shown("push button", "START")
    s.press("push button", "Nápověda")
    s.check_height(TALL)
    s.screenshot("03-help-page-1")
    s.click(s.shown("push button", "Další strana nápovědy"))
    page2 = s.shown("push button", "Konec nápovědy")
    s.screenshot("04-help-page-2")
    s.press("push button", "Konec nápovědy")  # a second click so soon would be a double-click
    wait_for(lambda: not s.showing(page2), "help to close")
    s.check_height(TALL)
    s.click(s.shown("radio button", "Psát názvy znaků"))
    s.check_height(TYPED)
    s.screenshot("05-typed-names-idle")
    s.press("push button", "Vybrat znaky ke zkoušení")
    dialog = s.shown("dialog", "Nastavení")
    wait_for(lambda: sum(b.getState().contains(s.at.STATE_CHECKED) for b in s.at.findAllDescendants(
        dialog, lambda o: o.getRoleName() == "check box")) == 51, "51 ticked boxes in the selection")
    s.screenshot("06-selection-window", "Nastavení")
    s.press("check box", "malé alfa", "Toggle", dialog)
    s.press("push button", "Použít", root=dialog)
    s.shown("label", "Zbývá znaků - 50")


def main():
    len(sys.argv) in (3, 4) or sys.exit(__doc__)
    program, screenshots, window_manager = os.path.abspath(sys.argv[1]), sys.argv[2], sys.argv[3:]
    os.makedirs(screenshots, exist_ok=True)
    for signum in signal.SIGALRM, signal.SIGTERM:
        signal.signal(signum, fail)
    signal.alarm(90)
    workdir = tempfile.mkdtemp(prefix="kelmora-e2e-")
    s = Session(workdir, screenshots, window_manager[0] if window_manager else "bare")
    log = pathlib.Path(workdir, "program.log")
    try:
        # -noreset: the server would reset when its last client leaves, refusing a new one a while.
        os.environ["DISPLAY"] = s.env["DISPLAY"] = ":" + s.announced(["Xvfb", "-displayfd", "FD",
            "-screen", "0", "%dx%dx24" % SCREEN, "-nolisten", "tcp", "-noreset"])
        os.environ["DBUS_SESSION_BUS_ADDRESS"] = s.env["DBUS_SESSION_BUS_ADDRESS"] = s.announced(
            ["dbus-daemon", "--session", "--nofork", f"--address=unix:dir={workdir}",
             "--print-address=FD"])
        s.spawn(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"])
        wait_for(lambda: "true" in s.output(
            "dbus-send", "--session", "--print-reply", "--dest=org.freedesktop.DBus", "/",
            "org.freedesktop.DBus.NameHasOwner", "string:org.a11y.Bus"), "the accessibility bus")
        if window_manager:
            s.spawn(window_manager)
            wait_for(lambda: "window id" in s.output("xprop", "-root", "_NET_SUPPORTING_WM_CHECK"),
                     f"{window_manager[0]} to manage the screen")
        # The client listens on the accessibility bus before the program announces itself.
        import pyatspi
        s.at, desktop = pyatspi, pyatspi.Registry.getDesktop(0)
        with log.open("w") as stderr:
            pid = s.spawn([program], stderr=stderr).pid
        s.app = wait_for(lambda: desktop.clearCache() or next(
            a for a in desktop if a.get_process_id() == pid), "the program on the accessibility bus")
        s.window = wait_for(lambda: next(w for w in s.app if w.name == TITLE), "the main window")
        walk_through(s)
        if "cannot load picture" in log.read_text():
            raise Failure("the program could not load its pictures")
    except Failure as failure:
        sys.stderr.write(f"FAIL: {failure}\nprogram output:\n{log.read_text() if log.exists() else ''}")
        return 1
    finally:
        signal.alarm(0)
        s.stop()
        shutil.rmtree(workdir, ignore_errors=True)
    print("PASS")
    return 0


if __name__ == "__main__":
    sys.exit(main())
