#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""Drives Kelmora through the accessibility bus, in Xvfb under a window manager or none, or in a
headless weston natively or through XWayland; checks the outer heights, saves screenshots.
Usage: PROGRAM FOLDER [WM | weston [--xwayland]]"""

import contextlib, os, pathlib, re, signal, subprocess, sys, tempfile, time

TITLE = "Zkoušení řeckých znaků"
TYPED, TALL = (3165 // 15, 188), (8145 // 15, 512)  # outer height; the lowest control's bottom
HELP = (TALL[0], 1 + 526)  # help keeps the height of its taller page (y 1, height 526)


def wait_for(probe, what, timeout=20):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        with contextlib.suppress(Exception):  # an object may vanish while the window changes
            if result := probe():
                return result
        time.sleep(0.05)
    sys.exit(f"FAIL: timed out after {timeout} s waiting for {what}")  # passes the suppress above


class Session:
    def __init__(self, workdir, screenshots, window_manager):
        self.processes, self.screenshots, self.workdir = [], screenshots, workdir
        os.makedirs(screenshots, exist_ok=True)
        self.prefix = "-".join(w.strip("-") for w in window_manager) or "bare"
        self.weston, self.native = self.prefix.startswith("weston"), self.prefix == "weston"
        # No Czech locale (C.UTF-8 under openbox, POSIX elsewhere); no input method, whose
        # Wayland plugin in Qt 6.4 crashes on the first text sent to the answer box.
        self.env = {k: v for k, v in os.environ.items() if not k.startswith(("LC_", "LANG", "WAY"))}
        self.env.update(XDG_RUNTIME_DIR=workdir, QT_QPA_PLATFORM="wayland" if self.native else
            "xcb", QT_IM_MODULE="none", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1",
            LANG="C.UTF-8" if self.prefix == "openbox" else "POSIX")

    def spawn(self, argv, log=os.devnull, stdout=subprocess.DEVNULL):  # errors into log or ours
        with open(os.path.join(self.workdir, log), "w") if log else contextlib.nullcontext() as err:
            self.processes.append(subprocess.Popen(argv, env=self.env, start_new_session=True,
                text=True, stdin=subprocess.DEVNULL, stdout=stdout, stderr=err))
        return self.processes[-1]

    def announced(self, argv):  # a server that writes its address to its output once ready
        return self.spawn(argv, stdout=subprocess.PIPE).stdout.readline().strip() or sys.exit(
            f"FAIL: {argv[0]} did not start")

    def run(self, *argv, binary=False, **kwargs):  # a tool, in UTF-8 whatever the program's locale
        return subprocess.run(argv, capture_output=True, timeout=10, text=not binary, env=dict(
            self.env, LC_ALL="C.UTF-8", WAYLAND_DISPLAY="w"), **kwargs).stdout

    def stop(self):
        for process in reversed(self.processes):
            with contextlib.suppress(ProcessLookupError):
                os.killpg(process.pid, signal.SIGKILL)
            process.wait()

    def shown(self, role, name, root=None):  # by role: its name differs between AT-SPI versions
        role_id = getattr(self.at, "ROLE_" + role.upper().replace(" ", "_"))
        return wait_for(lambda: self.at.findDescendant(root or self.app, lambda o: o is not None and
            o.getRole() == role_id and o.name == name and o.getState().contains(
                self.at.STATE_SHOWING)), f"{role} '{name}' to show")

    def press(self, role, name, root=None, then=None):  # its first action; a checkable one toggles
        self.shown(role, name, root).queryAction().doAction(0)
        return then and self.shown(*then)  # the press clicks a moment later

    def grab(self, box=None):
        png = None if self.weston else self.run("import", "-window", "root", "png:-", binary=True)
        if self.weston:  # the screenshot lands in the current folder
            self.run("weston-screenshooter", cwd=self.workdir)
            shot = next(pathlib.Path(self.workdir).glob("wayland-screenshot-*.png"))
            png, _ = shot.read_bytes(), shot.unlink()
        return self.run("convert", "png:-", "-crop", "{2}x{3}+{0}+{1}".format(*box), "+repage",
                        "-strip", "png:-", input=png, binary=True) if box else png  # no time stamp

    def frame(self, title):  # the window's outer box (x, y, width, height); its client height
        for line in self.run("xwininfo", "-root", "-tree").splitlines() if not self.native else []:
            if match := re.match(r"( +)0x\w+ (.*?)  (\d+)x(\d+)\S*  ([+-]\d+)([+-]\d+)$", line):
                box = [int(match[5]), int(match[6]), int(match[3]), int(match[4])]
                outer = box if len(match[1]) == 5 else outer  # a child of the root window
                if match[2].startswith(f'"{title}"'):
                    break
        if not self.weston:
            return outer, box[3]
        client = self.app[0].queryComponent().getExtents(0).height if self.native else box[3]
        return [*map(int, self.run("convert", "png:-", "-trim", "-format", "%X %Y %w %h", "info:",
            input=self.grab(), binary=True).split())], client  # the box of all but the desktop

    def check_height(self, layout):
        # The layout's own height, or taller where a frame would cut the lowest control; under XWayland,
        # whose frame Qt 6.4 learns late, the client may be the whole outer height at first.
        def right(outer, client):  # in weston, a window run off the bottom measures short
            fitted = client == max(layout[1], layout[0] - outer[3] + client)
            return (fitted or self.prefix == "weston-xwayland" and client == layout[0]) and (
                client < outer[3]) == (self.prefix != "bare")
        wait_for(lambda: right(*self.frame(TITLE)),
            f"an outer height of {layout[0]} px, or the client area just down to {layout[1]}")

    def screenshot(self, name, layout=None, title=TITLE):  # once steady: Qt paints after the
        layout and self.check_height(layout)  # change that made the object show; a cursor blinks
        shots = []
        wait_for(lambda: shots.append(self.grab(self.frame(title)[0])) or shots[-1] in shots[:-1],
                 f"a steady picture of {name}")
        pathlib.Path(self.screenshots, f"{self.prefix}-{name}.png").write_bytes(shots[-1])


def walk_through(s):
    s.check_height(TYPED)
    if not s.native:  # the title as every window list reads it, whatever the program's locale
        wait_for(lambda: f'= "{TITLE}"' in s.run("xprop", "-id", re.search(rf'(0x\w+) "{TITLE}"',
            s.run("xwininfo", "-root", "-tree"))[1], "WM_NAME"), "WM_NAME to read the title")
    s.press("push button", "START", then=("push button", "STOP"))  # which empties the answer
    s.shown("text", "Název znaku").queryEditableText().setTextContents("xyz")  # no such name
    s.press("push button", "Enter", then=("label", "ŠPATNĚ"))
    s.screenshot("01-typed-names-wrong")
    s.press("push button", "STOP", then=("push button", "START"))
    for _ in range(6):  # the frame Qt measures under XWayland is late only now and then
        s.press("radio button", "Vybírat obrázky")
        s.screenshot("02-picture-choice", TALL)
        s.press("push button", "START", then=("push button", "STOP"))
        s.press("push button", "Nápověda")  # in a picture run, just after the window grew
        for page, button in enumerate(["Další strana nápovědy", "Konec nápovědy"], 1):
            s.shown("push button", button)  # the page itself, named after what a click does
            s.screenshot(f"0{page + 2}-help-page-{page}", HELP)
            s.press("push button", button)
        s.check_height(TALL)  # as before help
        s.press("push button", "STOP", then=("push button", "START"))
        s.press("radio button", "Psát názvy znaků")
        s.check_height(TYPED)
    dialog = s.press("push button", "Vybrat znaky ke zkoušení", then=("dialog", "Nastavení"))
    s.screenshot("06-selection-window", title="Nastavení")
    s.press("check box", "malé alfa", dialog)
    s.press("push button", "Použít", dialog, then=("label", "Zbývá znaků - 50"))


def start_display(s, window_manager):  # weston starts XWayland itself when told to
    if not s.weston:  # -noreset: the server would otherwise refuse a new client a while
        s.env["DISPLAY"] = ":" + s.announced(["Xvfb", "-displayfd", "1", "-screen", "0",
                                              "1024x768x24", "-nolisten", "tcp", "-noreset"])
        return window_manager and s.spawn(window_manager) and wait_for(lambda: "window id" in s.run(
            "xprop", "-root", "_NET_SUPPORTING_WM_CHECK"), f"{window_manager[0]} to manage the screen")
    pathlib.Path(s.workdir, "weston.ini").write_text(  # no panel, a desktop of one colour
        "[shell]\npanel-position=none\nbackground-image=\n")
    s.spawn(["weston", "--backend=headless-backend.so", "--use-pixman", "--width=1280",
             "--height=1024", "--idle-time=0", f"--config={s.workdir}/weston.ini", "--debug",
             "--socket=w"] + window_manager[1:], "weston.log")
    log = pathlib.Path(s.workdir, "weston.log")
    s.env["WAYLAND_DISPLAY" if s.native else "DISPLAY"] = "w" if s.native else wait_for(
        lambda: re.search("xserver listening on display (:\\d+)", log.read_text())[1], "XWayland")


def main():
    program, screenshots, *window_manager = sys.argv[1:] if sys.argv[2:] else sys.exit(__doc__)
    for signum in signal.SIGALRM, signal.SIGTERM:  # exits, as wait_for does: the stack unwinds
        signal.signal(signum, lambda n, _: sys.exit(f"FAIL: stopped by {signal.Signals(n).name}"))
    signal.alarm(90)  # SIGALRM: the whole run may take that long
    with tempfile.TemporaryDirectory(prefix="kelmora-e2e-", ignore_cleanup_errors=True) as workdir:
        s = Session(workdir, screenshots, window_manager)  # private, as XDG_RUNTIME_DIR must be
        try:
            start_display(s, window_manager)
            os.environ["DBUS_SESSION_BUS_ADDRESS"] = s.env["DBUS_SESSION_BUS_ADDRESS"] = s.announced(
                ["dbus-daemon", "--session", f"--address=unix:dir={workdir}", "--print-address"])
            import pyatspi  # the bus starts the accessibility bus now; the client listens on it
            s.at, desktop = pyatspi, pyatspi.Registry.getDesktop(0)  # before the program shows
            pid = s.spawn([program], "kelmora.log").pid  # which must stay empty
            s.app = wait_for(lambda: desktop.clearCache() or next(a for a in desktop
                if a.get_process_id() == pid), "the program on the accessibility bus")
            walk_through(s)
            if printed := pathlib.Path(workdir, "kelmora.log").read_text():  # on start, or later
                sys.exit(f"FAIL: the program printed:\n{printed}")
            print("PASS")
        finally:
            signal.alarm(0)
            s.stop()


main()
