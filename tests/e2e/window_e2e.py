#!/usr/bin/python3
"""Drives Kelmora in a real X window through the accessibility bus, as a screen reader would,
under a window manager that draws frames or under none, and checks the window's outer heights.

Usage: window_e2e.py PROGRAM SCREENSHOT_FOLDER [WINDOW_MANAGER]
"""

import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unicodedata

TITLE = "Zkoušení řeckých znaků"
SCREEN = (1024, 768)
TYPED_HEIGHT, TALL_HEIGHT = 3165 // 15, 8145 // 15  # outer heights, frame included
START_BOTTOM, BOARD_BOTTOM = 188, 512  # the lowest control of each layout, client pixels
RETURN, SPACE = 0xFF0D, 0x20


class Failure(Exception):
    pass


def stop_on_signal(signum, frame):
    raise Failure(f"stopped by signal {signum} (the whole run may take 90 s)")


def wait_for(probe, what, timeout=20):
    deadline = time.monotonic() + timeout
    while True:
        try:
            result = probe()
        except Failure:
            raise
        except Exception:  # an object may vanish while the window changes
            result = None
        if result:
            return result
        if time.monotonic() > deadline:
            raise Failure(f"timed out after {timeout} s waiting for {what}")
        time.sleep(0.05)


class Session:
    """Xvfb, a session bus, the accessibility bus, the window manager and the program, each in
    a process group of its own, so that stopping it also stops whatever it spawned."""

    def __init__(self, workdir):
        self.processes = []
        self.env = dict(os.environ, XDG_RUNTIME_DIR=workdir, QT_QPA_PLATFORM="xcb",
                        QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1")
        self.env.pop("WAYLAND_DISPLAY", None)

    def spawn(self, argv, stderr=subprocess.DEVNULL, **kwargs):
        process = subprocess.Popen(argv, env=self.env, start_new_session=True, stderr=stderr,
                                   stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, **kwargs)
        self.processes.append(process)
        return process

    def announced(self, argv):
        """Starts a server that writes its address to the file descriptor FD once it is ready."""
        read_end, write_end = os.pipe()
        self.spawn([a.replace("FD", str(write_end)) for a in argv], pass_fds=(write_end,))
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            line = pipe.readline().strip()
        if not line:
            raise Failure(f"{argv[0]} exited before it was ready")
        return line

    def output(self, argv):
        return subprocess.run(argv, env=self.env, capture_output=True, text=True, timeout=10).stdout

    def stop(self):
        for process in reversed(self.processes):
            try:
                os.killpg(process.pid, signal.SIGKILL)
                process.wait()
            except ProcessLookupError:
                pass


class Driver:
    """What an assistive client sees and does: the accessible tree, actions, XTest input, and
    the X window tree for what lies outside the program (the frame, the screen)."""

    def __init__(self, pyatspi, session, screenshots, prefix):
        self.at, self.session, self.screenshots, self.prefix = pyatspi, session, screenshots, prefix

    def find(self, role, name, root=None):
        """The first object with this role and name, showing or not."""
        return self.at.findDescendant(root or self.app, lambda o: o is not None and
                                      o.getRoleName() == role and o.name == name)

    def showing(self, accessible):
        return accessible.getState().contains(self.at.STATE_SHOWING)

    def shown(self, role, name, root=None):
        return wait_for(lambda: (lambda o: o if o and self.showing(o) else None)(
            self.find(role, name, root)), f"{role} '{name}' to show")

    def hidden(self, accessible):
        wait_for(lambda: not self.showing(accessible), f"'{accessible.name}' to hide")

    def focused(self, accessible):
        wait_for(lambda: accessible.getState().contains(self.at.STATE_FOCUSED),
                 f"the keyboard focus in '{accessible.name}'")

    def labels(self, *texts):
        for text in texts:
            self.shown("label", text)

    def shown_labels(self):
        found = self.at.findAllDescendants(self.app, lambda o: o.getRoleName() == "label")
        return [o.name for o in found if self.showing(o)]

    def press(self, accessible, action="Press"):
        actions = accessible.queryAction()
        names = [actions.getName(i) for i in range(actions.nActions)]
        if action not in names:
            raise Failure(f"'{accessible.name}' offers no {action} action, only {names}")
        actions.doAction(names.index(action))

    def click(self, accessible):
        x, y, width, height = accessible.queryComponent().getExtents(self.at.DESKTOP_COORDS)
        self.at.Registry.generateMouseEvent(x + width // 2, y + height // 2, "b1c")

    def key(self, keysym):
        self.at.Registry.generateKeyboardEvent(keysym, None, self.at.KEY_SYM)

    def type_text(self, text):
        self.at.Registry.generateKeyboardEvent(0, text, self.at.KEY_STRING)

    def frame(self, title):
        """The outer box (x, y, width, height) of the top-level window that holds the X window
        with this title, and that window's own client height."""
        outer = None
        for line in self.session.output(["xwininfo", "-root", "-tree"]).splitlines():
            match = re.match(r"( +)0x\w+ (.*?)  (\d+)x(\d+)[+-]\d+[+-]\d+  ([+-]\d+)([+-]\d+)$",
                             line)
            if not match:
                continue
            box = [int(match[5]), int(match[6]), int(match[3]), int(match[4])]
            if len(match[1]) == 5:  # a child of the root window
                outer = box
            if match[2].startswith(f'"{title}"'):
                return outer, box[3]
        return None

    def check_heights(self, outer_height, lowest):
        (x, y, width, height), client = wait_for(
            lambda: (lambda f: f if f and f[0][3] == outer_height and f[1] >= lowest else None)(
                self.frame(TITLE)), f"an outer height of {outer_height} px, client >= {lowest}")
        if y + height > SCREEN[1] - 500 / 15:
            raise Failure(f"the window reaches down to {y + height}, too near the screen bottom")

    def screenshot(self, name, title=TITLE):
        time.sleep(0.3)  # Qt paints after the change that made the object show
        x, y, width, height = self.frame(title)[0]
        path = os.path.join(self.screenshots, f"{self.prefix}-{name}.png")
        subprocess.run(["import", "-window", "root", "-crop", f"{width}x{height}+{x}+{y}",
                        "+repage", path], env=self.session.env, check=True, timeout=10)
        print(f"screenshot {path}", flush=True)


def typed_name_round(d):
    d.labels("Zbývá znaků - 51", "A - 0", "E - 0", "0 / 0")
    d.check_heights(TYPED_HEIGHT, START_BOTTOM)
    d.screenshot("01-typed-names-idle")
    d.press(d.find("push button", "START"))
    answer = d.shown("text", "Název znaku")
    d.focused(answer)
    text = answer.queryText()
    # No Greek character is called "xyz": the first verdict is wrong whatever is shown.
    d.type_text("xyz")
    wait_for(lambda: text.getText(0, -1) == "xyz", "'xyz' in 'Název znaku'")
    enter = d.shown("push button", "Enter")
    d.key(RETURN)
    d.labels("ŠPATNĚ", "0 / 0")  # the score waits for the user to continue
    names = wait_for(lambda: next((t for t in d.shown_labels() if "\n" in t), None),
                     "the list of accepted names")
    d.screenshot("02-typed-names-wrong")
    # The list names the character; its first name without diacritics, through the enter
    # image, is right.
    plain = "".join(c for c in unicodedata.normalize("NFKD", names.split("\n")[0].strip())
                    if c.isascii())
    answer.queryEditableText().deleteText(0, text.characterCount)
    d.type_text(plain)
    wait_for(lambda: text.getText(0, -1) == plain, f"'{plain}' in 'Název znaku'")
    d.press(enter)
    d.labels("Správně")
    d.key(RETURN)  # continue: wrong then right leaves the character at C
    d.labels("1 / 1", "C - 1", "Zbývá znaků - 50")
    d.press(d.shown("push button", "STOP"))
    d.shown("push button", "START")


def picture_choice_round(d):
    d.click(d.find("radio button", "Vybírat obrázky"))
    boxes = [d.shown("push button", f"Obrázek {i}") for i in range(1, 22)]
    d.check_heights(TALL_HEIGHT, BOARD_BOTTOM)
    d.press(d.find("push button", "START"))
    wait_for(lambda: any(re.fullmatch("(mal|velk)[áéý]", t) for t in d.shown_labels()),
             "the phrase of the sought character (malá, velké …)")
    d.screenshot("03-picture-choice-question")
    d.click(boxes[0])
    right = wait_for(lambda: next((t for t in ("Správně", "ŠPATNĚ") if t in d.shown_labels()),
                                  None), "the verdict") == "Správně"
    # Only the right picture stays on the board; a click on it moves on.
    kept = wait_for(lambda: (lambda s: s[0] if len(s) == 1 else None)(
        [b for b in boxes if d.showing(b)]), "one picture left on the board")
    d.click(kept)
    d.labels("1 / 0" if right else "0 / 1", "B - 1" if right else "D - 1")
    d.press(d.find("push button", "STOP"))
    d.shown("push button", "START")


def help_pages(d):
    d.press(d.find("push button", "Nápověda"))
    page1 = d.shown("push button", "Další strana nápovědy")
    d.check_heights(TALL_HEIGHT, BOARD_BOTTOM)
    d.screenshot("04-help-page-1")
    d.click(page1)
    page2 = d.shown("push button", "Konec nápovědy")
    d.screenshot("05-help-page-2")
    d.focused(page2)  # Space turns it like a click
    d.key(SPACE)
    d.hidden(page2)
    d.check_heights(TALL_HEIGHT, BOARD_BOTTOM)
    d.click(d.find("radio button", "Psát názvy znaků"))
    d.shown("text", "Název znaku")
    d.check_heights(TYPED_HEIGHT, START_BOTTOM)


def selection_window(d):
    d.press(d.find("push button", "Vybrat znaky ke zkoušení"))
    dialog = d.shown("dialog", "Nastavení")
    boxes = d.at.findAllDescendants(dialog, lambda o: o.getRoleName() == "check box")
    if sum(b.getState().contains(d.at.STATE_CHECKED) for b in boxes) != 51:
        raise Failure("the selection window does not show 51 ticked boxes")
    d.screenshot("06-selection-window", "Nastavení")
    small_alfa = d.find("check box", "malé alfa", dialog)
    d.press(small_alfa, "Toggle")
    wait_for(lambda: not small_alfa.getState().contains(d.at.STATE_CHECKED), "'malé alfa' off")
    d.press(d.find("push button", "Použít", dialog))
    d.labels("Zbývá znaků - 50")


def main():
    if len(sys.argv) not in (3, 4):
        sys.exit(__doc__)
    program, screenshots = os.path.abspath(sys.argv[1]), sys.argv[2]
    window_manager = sys.argv[3] if len(sys.argv) == 4 else None
    os.makedirs(screenshots, exist_ok=True)
    signal.signal(signal.SIGALRM, stop_on_signal)
    signal.signal(signal.SIGTERM, stop_on_signal)
    signal.alarm(90)
    workdir = tempfile.mkdtemp(prefix="kelmora-e2e-")
    session = Session(workdir)
    log_path = os.path.join(workdir, "program.log")
    try:
        session.env["DISPLAY"] = ":" + session.announced(
            ["Xvfb", "-displayfd", "FD", "-screen", "0", "%dx%dx24" % SCREEN, "-nolisten", "tcp"])
        session.env["DBUS_SESSION_BUS_ADDRESS"] = session.announced(
            ["dbus-daemon", "--session", "--nofork", f"--address=unix:dir={workdir}",
             "--print-address=FD"])
        os.environ.update(DISPLAY=session.env["DISPLAY"],
                          DBUS_SESSION_BUS_ADDRESS=session.env["DBUS_SESSION_BUS_ADDRESS"])
        session.spawn(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"])
        wait_for(lambda: "true" in session.output(
            ["dbus-send", "--session", "--print-reply", "--dest=org.freedesktop.DBus", "/",
             "org.freedesktop.DBus.NameHasOwner", "string:org.a11y.Bus"]), "the accessibility bus")
        if window_manager:
            session.spawn([window_manager])
            wait_for(lambda: "window id" in session.output(
                ["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"]), f"{window_manager} to manage")
        # The client listens on the accessibility bus before the program announces itself.
        import pyatspi
        desktop = pyatspi.Registry.getDesktop(0)
        with open(log_path, "w") as log:
            pid = session.spawn([program], stderr=log).pid
        driver = Driver(pyatspi, session, screenshots, window_manager or "bare")
        driver.app = wait_for(lambda: desktop.clearCache() or next(
            a for a in desktop if a is not None and a.get_process_id() == pid and
            any(w.name == TITLE for w in a)), "the main window on the accessibility bus")
        if not window_manager:  # nothing else activates the window; a click does
            driver.click(driver.shown("label", "Zbývá znaků - 51"))
        typed_name_round(driver)
        picture_choice_round(driver)
        help_pages(driver)
        selection_window(driver)
        with open(log_path) as log:
            warnings = [line for line in log if "cannot load picture" in line]
        if warnings:
            raise Failure("the program could not load pictures:\n" + "".join(warnings))
    except Failure as failure:
        with open(log_path) if os.path.exists(log_path) else open(os.devnull) as log:
            sys.stderr.write(f"FAIL: {failure}\nprogram output:\n" + "".join(log.readlines()[-30:]))
        return 1
    finally:
        signal.alarm(0)
        session.stop()
        shutil.rmtree(workdir, ignore_errors=True)
    print("PASS")
    return 0


if __name__ == "__main__":
    sys.exit(main())
