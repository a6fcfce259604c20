#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""Drives Kelmora through the accessibility bus like a screen reader, in Xvfb under a window manager
or none, or in a headless weston natively or through XWayland; checks the outer heights, saves
screenshots. Usage: PROGRAM FOLDER [WM | weston [--xwayland]]"""

import contextlib, os, pathlib, re, shutil, signal, subprocess, sys, tempfile, time

TITLE = "Zkoušení řeckých znaků"
TYPED, TALL = (3165 // 15, 188), (8145 // 15, 512)  # outer height; the lowest control's bottom
HELP = (TALL[0], 1 + 526)  # help keeps the height of its taller page (y 1, height 526)


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


def run(*argv, **kwargs):
    return subprocess.run(argv, capture_output=True, timeout=10, **kwargs).stdout


class Session:
    def __init__(self, workdir, screenshots, window_manager):
        self.processes, self.screenshots, self.workdir = [], screenshots, workdir
        os.makedirs(screenshots, exist_ok=True)
        self.weston = window_manager[:1] == ["weston"]  # natively, or through XWayland
        self.native = window_manager == ["weston"]
        self.prefix = "-".join(w.strip("-") for w in window_manager) or "bare"
        # No Czech locale (C.UTF-8 under openbox, POSIX elsewhere); no input method, whose
        # Wayland plugin in Qt 6.4 crashes on the first text sent to the answer box.
        self.env = {k: v for k, v in os.environ.items() if not k.startswith(("LC_", "LANG", "WAY"))}
        self.env.update(XDG_RUNTIME_DIR=workdir, QT_QPA_PLATFORM="wayland" if self.native else
            "xcb", QT_IM_MODULE="none", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1",
            LANG="C.UTF-8" if self.prefix == "openbox" else "POSIX")

    def spawn(self, argv, stderr=subprocess.DEVNULL, **kwargs):
        self.processes.append(subprocess.Popen(argv, env=self.env, start_new_session=True,
            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=stderr, **kwargs))
        return self.processes[-1]

    def announced(self, argv):
        # A server that writes its address to the file descriptor FD once it is ready.
        read_end, write_end = os.pipe()
        self.spawn([a.replace("FD", str(write_end)) for a in argv], pass_fds=(write_end,))
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            return pipe.readline().strip() or sys.exit(f"FAIL: {argv[0]} did not start")

    def output(self, *argv):  # the tools write UTF-8, whatever the program's locale
        return run(*argv, env=dict(self.env, LC_ALL="C.UTF-8"), text=True)

    def stop(self):
        for process in reversed(self.processes):
            with contextlib.suppress(ProcessLookupError):
                os.killpg(process.pid, signal.SIGKILL)
            process.wait()

    def shown(self, role, name, root=None):
        return wait_for(lambda: self.at.findDescendant(root or self.app, lambda o: o is not None and
            o.getRoleName() == role and o.name == name and o.getState().contains(
                self.at.STATE_SHOWING)), f"{role} '{name}' to show")

    def press(self, role, name, root=None, then=None):
        """The first action (a checkable button's toggles it); then waits for (role, name)."""
        self.shown(role, name, root).queryAction().doAction(0)
        return then and self.shown(*then)  # the press clicks a moment later

    def grab(self, box=None):
        png = None if self.weston else run("import", "-window", "root", "png:-", env=self.env)
        if self.weston:  # the screenshot lands in the current folder
            run("weston-screenshooter", cwd=self.workdir, env=dict(self.env, WAYLAND_DISPLAY="w"))
            shot = next(pathlib.Path(self.workdir).glob("wayland-screenshot-*.png"))
            png, _ = shot.read_bytes(), shot.unlink()
        return run("convert", "png:-", "-crop", "{2}x{3}+{0}+{1}".format(*box), "+repage", "-strip",
                   "png:-", input=png) if box else png  # -strip: no time stamp in the bytes

    def steady(self, grab, name):  # Qt paints after the change that made the object show; a
        shots = []  # cursor blinks
        return wait_for(lambda: shots.append(grab()) or shots[-1] in shots[:-1] and shots[-1],
                        f"a steady picture of {name}")

    def frame(self, title):
        """The outer box (x, y, width, height) of the titled window, frame included; its height."""
        for line in self.output("xwininfo", "-root", "-tree").splitlines() if not self.native else []:
            if match := re.match(r"( +)0x\w+ (.*?)  (\d+)x(\d+)\S*  ([+-]\d+)([+-]\d+)$", line):
                box = [int(match[5]), int(match[6]), int(match[3]), int(match[4])]
                outer = box if len(match[1]) == 5 else outer  # a child of the root window
                if match[2].startswith(f'"{title}"'):
                    break
        if not self.weston:
            return outer, box[3]
        # What differs from the empty desktop, below weston's panel and its clock.
        found = re.split("[x+]", run("convert", self.desktop, "png:-", "-compose", "difference",
            "-composite", "-fill", "black", "-draw", "rectangle 0,0 9999,32", "-format", "%@",
            "info:", input=self.grab()).decode())
        x, y, width, height = [int(found[i]) for i in (2, 3, 0, 1)]
        client = self.window.queryComponent().getExtents(0).height if self.native else box[3]
        if y + height >= 1024:  # weston placed it as it showed: grown, it runs off
            height = client + self.framing  # the bottom, in the frame last measured whole
        return [x, y, width, height], client

    def check_height(self, layout):
        # The design's, or taller where a frame would cut the lowest control; under XWayland,
        # whose frame Qt 6.4 learns late, only nothing cut.
        def right(outer, client):  # the frame's height, once right
            fitted = client == max(layout[1], layout[0] - outer[3] + client)
            return (fitted or self.prefix == "weston-xwayland" and client >= layout[1]) and (
                client < outer[3]) == (self.prefix != "bare") and [outer[3] - client]
        self.framing = wait_for(lambda: right(*self.frame(TITLE)),
            f"an outer height of {layout[0]} px, or the client area just down to {layout[1]}")[0]

    def screenshot(self, name, title=TITLE):
        pathlib.Path(self.screenshots, f"{self.prefix}-{name}.png").write_bytes(
            self.steady(lambda: self.grab(self.frame(title)[0]), name))


def walk_through(s):
    s.check_height(TYPED)
    if not s.native:  # the title as every window list reads it, whatever the program's locale
        wait_for(lambda: f'= "{TITLE}"' in s.output("xprop", "-id", re.search(rf'(0x\w+) "{TITLE}"',
            s.output("xwininfo", "-root", "-tree"))[1], "WM_NAME"), "WM_NAME to read the title")
    s.press("push button", "START", then=("push button", "STOP"))  # which empties the answer
    s.shown("text", "Název znaku").queryEditableText().setTextContents("xyz")  # no such name
    s.press("push button", "Enter", then=("label", "ŠPATNĚ"))
    s.screenshot("01-typed-names-wrong")
    s.press("push button", "STOP", then=("push button", "START"))
    s.press("radio button", "Vybírat obrázky")
    s.check_height(TALL)
    s.screenshot("02-picture-choice")
    s.press("radio button", "Psát názvy znaků")
    s.check_height(TYPED)
    s.press("push button", "Nápověda")  # from the short layout, as tall as the page needs
    for page, button in enumerate(["Další strana nápovědy", "Konec nápovědy"], 1):
        s.shown("push button", button)  # the page itself, named after what a click does
        s.check_height(HELP)
        s.screenshot(f"0{page + 2}-help-page-{page}")
        s.press("push button", button)
    s.check_height(TYPED)
    dialog = s.press("push button", "Vybrat znaky ke zkoušení", then=("dialog", "Nastavení"))
    s.screenshot("06-selection-window", "Nastavení")
    s.press("check box", "malé alfa", dialog)
    s.press("push button", "Použít", dialog, then=("label", "Zbývá znaků - 50"))


def start_display(s, window_manager):  # weston starts XWayland itself when told to
    if not s.weston:  # -noreset: the server would otherwise refuse a new client a while
        s.env["DISPLAY"] = ":" + s.announced(["Xvfb", "-displayfd", "FD", "-screen", "0",
                                              "1024x768x24", "-nolisten", "tcp", "-noreset"])
        return window_manager and s.spawn(window_manager) and wait_for(lambda: "window id" in s.output(
            "xprop", "-root", "_NET_SUPPORTING_WM_CHECK"), f"{window_manager[0]} to manage the screen")
    log = pathlib.Path(s.workdir, "weston.log")
    with log.open("w") as stderr:
        s.spawn(["weston", "--backend=headless-backend.so", "--use-pixman", "--width=1280",
                 "--height=1024", "--idle-time=0", "--no-config", "--debug", "--socket=w"]
                + window_manager[1:], stderr=stderr)
    s.env["WAYLAND_DISPLAY" if s.native else "DISPLAY"] = "w" if s.native else wait_for(
        lambda: re.search("xserver listening on display (:\\d+)", log.read_text())[1], "XWayland")
    s.desktop = os.path.join(s.workdir, "desktop.png")  # once the shell has drawn it
    pathlib.Path(s.desktop).write_bytes(s.steady(lambda: (lambda png: run("convert", "png:-",
        "-format", "%[max]", "info:", input=png).strip(b"0.") and png)(s.grab()), "the desktop"))


def main():
    len(sys.argv) >= 3 or sys.exit(__doc__)
    program, screenshots, window_manager = os.path.abspath(sys.argv[1]), sys.argv[2], sys.argv[3:]
    for signum in signal.SIGALRM, signal.SIGTERM:
        signal.signal(signum, fail)
    signal.alarm(90)
    workdir = tempfile.mkdtemp(prefix="kelmora-e2e-")  # private, as XDG_RUNTIME_DIR must be
    s = Session(workdir, screenshots, window_manager)
    log = pathlib.Path(workdir, "program.log")
    try:
        start_display(s, window_manager)
        os.environ["DBUS_SESSION_BUS_ADDRESS"] = s.env["DBUS_SESSION_BUS_ADDRESS"] = s.announced(
            ["dbus-daemon", "--session", "--nofork", f"--address=unix:dir={workdir}",
             "--print-address=FD"])
        # The bus starts the accessibility bus on the first call; the client listens on it
        # before the program announces itself.
        import pyatspi
        s.at, desktop = pyatspi, pyatspi.Registry.getDesktop(0)
        with log.open("w") as stderr:
            pid = s.spawn([program], stderr=stderr).pid
        s.app = wait_for(lambda: desktop.clearCache() or next(
            a for a in desktop if a.get_process_id() == pid), "the program on the accessibility bus")
        s.window = wait_for(lambda: next(w for w in s.app if w.name == TITLE), "the main window")
        walk_through(s)
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
