#!/usr/bin/python3
"""Drives Kelmora in a real X window through the accessibility bus, as a screen reader would.

Usage: window_e2e.py PROGRAM SCREENSHOT_FOLDER

Starts a private Xvfb, a private D-Bus session and the AT-SPI bus, starts PROGRAM there and
walks it through a typed-name answer, the picture board, both help pages and the selection
window, saving a screenshot of each. Exits non-zero with a message naming what was missing.
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

WHOLE_RUN_SECONDS = 60
WAIT_SECONDS = 10
TITLE = "Zkoušení řeckých znaků"
RETURN = 0xFF0D  # X keysym
SPACE = 0x20


class Failure(Exception):
    pass


def on_alarm(signum, frame):
    raise Failure(f"the whole run took longer than {WHOLE_RUN_SECONDS} s")


def on_terminate(signum, frame):
    raise Failure(f"stopped by signal {signum}")


class Services:
    """Xvfb, a session bus, the accessibility bus and the program, each in its own process
    group so that stopping it also stops whatever it spawned (dbus activations)."""

    def __init__(self, workdir):
        self.workdir = workdir
        self.processes = []
        self.env = dict(os.environ)
        runtime = os.path.join(workdir, "runtime")
        os.mkdir(runtime, 0o700)
        self.env["XDG_RUNTIME_DIR"] = runtime
        self.env.pop("WAYLAND_DISPLAY", None)

    def spawn(self, argv, **kwargs):
        kwargs.setdefault("stdin", subprocess.DEVNULL)
        kwargs.setdefault("stdout", subprocess.DEVNULL)
        kwargs.setdefault("stderr", subprocess.DEVNULL)
        process = subprocess.Popen(argv, env=self.env, start_new_session=True, **kwargs)
        self.processes.append(process)
        return process

    def read_line(self, fd, what):
        # Xvfb and dbus-daemon announce their address on a pipe once they are ready.
        deadline = time.monotonic() + WAIT_SECONDS
        data = b""
        while not data.endswith(b"\n"):
            if time.monotonic() > deadline:
                raise Failure(f"{what} did not start within {WAIT_SECONDS} s")
            chunk = os.read(fd, 256)
            if not chunk:
                raise Failure(f"{what} exited before it was ready")
            data += chunk
        os.close(fd)
        return data.decode().strip()

    def start_x(self):
        # -displayfd lets Xvfb take the first free display number itself.
        read_end, write_end = os.pipe()
        self.spawn(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24",
                    "-nolisten", "tcp"], pass_fds=(write_end,))
        os.close(write_end)
        self.env["DISPLAY"] = ":" + self.read_line(read_end, "Xvfb")

    def start_session_bus(self):
        read_end, write_end = os.pipe()
        self.spawn(["dbus-daemon", "--session", "--nofork", f"--address=unix:dir={self.workdir}",
                    f"--print-address={write_end}"], pass_fds=(write_end,))
        os.close(write_end)
        self.env["DBUS_SESSION_BUS_ADDRESS"] = self.read_line(read_end, "dbus-daemon")

    def start_accessibility_bus(self):
        # The launcher owns org.a11y.Bus on the session bus; the registry daemon is then
        # activated on the accessibility bus when the first client asks for it.
        self.spawn(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"])

    def start_program(self, program, log):
        self.env.update(QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                        QT_ACCESSIBILITY="1")
        return self.spawn([program], stderr=log)

    def stop(self):
        for process in reversed(self.processes):
            for sig in (signal.SIGTERM, signal.SIGKILL):
                try:
                    os.killpg(process.pid, sig)
                except ProcessLookupError:
                    break
                try:
                    process.wait(timeout=3)
                    break
                except subprocess.TimeoutExpired:
                    continue


class Driver:
    """What an assistive client sees and does: the accessible tree, actions, XTest input."""

    def __init__(self, pyatspi, pid, screenshots):
        self.at = pyatspi
        self.pid = pid
        self.screenshots = screenshots
        self.app = self.wait_for(self.find_application, "the application on the accessibility bus")

    def wait_for(self, probe, what, timeout=WAIT_SECONDS):
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

    def find_application(self):
        for app in self.at.Registry.getDesktop(0):
            if app is not None and app.get_process_id() == self.pid:
                return app
        return None

    def find(self, role, name, root=None):
        """The first object with this role and name, showing or not."""
        predicate = lambda o: o is not None and o.getRoleName() == role and o.name == name
        return self.at.findDescendant(root or self.app, predicate)

    def get(self, role, name, root=None):
        return self.wait_for(lambda: self.find(role, name, root), f"{role} '{name}'")

    def showing(self, accessible):
        return accessible.getState().contains(self.at.STATE_SHOWING)

    def wait_showing(self, role, name, root=None):
        return self.wait_for(lambda: (lambda o: o if o and self.showing(o) else None)(
            self.find(role, name, root)), f"{role} '{name}' to show")

    def wait_hidden(self, accessible, what):
        self.wait_for(lambda: not self.showing(accessible), f"{what} to hide")

    def wait_focused(self, accessible):
        self.wait_for(lambda: accessible.getState().contains(self.at.STATE_FOCUSED),
                      f"the keyboard focus in '{accessible.name}'")

    def label(self, text, root=None):
        return self.wait_showing("label", text, root)

    def labels(self, root=None):
        found = self.at.findAllDescendants(root or self.app, lambda o: o.getRoleName() == "label")
        return [o.name for o in found if self.showing(o)]

    def wait_label_among(self, texts):
        return self.wait_for(lambda: next((t for t in texts if t in self.labels()), None),
                             " or ".join(f"label '{t}'" for t in texts))

    def act(self, accessible, action="Press"):
        actions = accessible.queryAction()
        names = [actions.getName(i) for i in range(actions.nActions)]
        if action not in names:
            raise Failure(f"'{accessible.name}' offers no {action} action, only {names}")
        actions.doAction(names.index(action))

    def centre(self, accessible):
        x, y, width, height = accessible.queryComponent().getExtents(self.at.DESKTOP_COORDS)
        return x + width // 2, y + height // 2

    def click(self, accessible):
        x, y = self.centre(accessible)
        self.at.Registry.generateMouseEvent(x, y, "b1c")

    def key(self, keysym):
        self.at.Registry.generateKeyboardEvent(keysym, None, self.at.KEY_SYM)

    def type_text(self, text):
        self.at.Registry.generateKeyboardEvent(0, text, self.at.KEY_STRING)

    def screenshot(self, name, accessible):
        # Qt paints after the change that made the object show; give it a moment.
        time.sleep(0.4)
        x, y, width, height = accessible.queryComponent().getExtents(self.at.DESKTOP_COORDS)
        path = os.path.join(self.screenshots, name + ".png")
        subprocess.run(["import", "-window", "root", "-crop", f"{width}x{height}+{x}+{y}",
                        "+repage", path], check=True, timeout=WAIT_SECONDS,
                       stdout=subprocess.DEVNULL)
        print(f"screenshot {path}", flush=True)


def expect_labels(driver, texts):
    for text in texts:
        driver.label(text)


def typed_name_round(d, window):
    expect_labels(d, ["Zbývá znaků - 51", "A - 0", "B - 0", "C - 0", "D - 0", "E - 0", "0 / 0"])
    d.screenshot("01-typed-names-idle", window)

    d.act(d.get("push button", "START"))
    d.wait_showing("push button", "STOP")
    d.wait_hidden(d.get("push button", "START"), "START")
    answer = d.wait_showing("text", "Název znaku")
    d.wait_focused(answer)
    text = answer.queryText()

    # No Greek character is called "xyz": the first verdict is wrong whatever is shown.
    d.type_text("xyz")
    d.wait_for(lambda: text.getText(0, -1) == "xyz", "'xyz' in 'Název znaku'")
    enter = d.wait_showing("push button", "Enter")
    d.screenshot("02-typed-names-question", window)
    d.key(RETURN)
    d.label("ŠPATNĚ")
    d.wait_showing("push button", "Pokračovat")
    names = d.wait_for(lambda: next((t for t in d.labels() if "\n" in t), None),
                       "the list of accepted names")
    # The score waits for the user to continue.
    expect_labels(d, ["0 / 0", "Zbývá znaků - 51"])
    d.screenshot("03-typed-names-wrong", window)

    # The list names the character: its first name without diacritics, judged again through
    # the enter image, is right.
    first = names.split("\n")[0].strip()
    plain = "".join(c for c in unicodedata.normalize("NFKD", first) if c.isascii())
    answer.queryEditableText().deleteText(0, text.characterCount)
    d.type_text(plain)
    d.wait_for(lambda: text.getText(0, -1) == plain, f"'{plain}' in 'Název znaku'")
    d.act(enter)
    d.label("Správně")
    d.screenshot("04-typed-names-right", window)

    d.key(RETURN)  # continue: wrong then right leaves the character at C
    expect_labels(d, ["1 / 1", "C - 1", "D - 0", "Zbývá znaků - 50"])
    d.wait_hidden(d.get("push button", "Pokračovat"), "Pokračovat")
    d.wait_for(lambda: text.getText(0, -1) == "", "'Název znaku' to be emptied")
    d.wait_focused(answer)

    d.act(d.get("push button", "STOP"))
    d.wait_showing("push button", "START")
    expect_labels(d, ["0 / 0", "Zbývá znaků - 51", "C - 0"])


def picture_choice_round(d, window):
    d.click(d.get("radio button", "Vybírat obrázky"))
    boxes = [d.wait_showing("push button", f"Obrázek {i}") for i in range(1, 22)]
    d.wait_hidden(d.get("text", "Název znaku"), "'Název znaku'")
    d.screenshot("05-picture-choice-idle", window)

    d.act(d.get("push button", "START"))
    d.wait_showing("push button", "STOP")
    d.wait_for(lambda: any(re.fullmatch("(mal|velk)[áéý]", t) for t in d.labels()),
               "the phrase of the sought character (malá, velké …)")
    d.screenshot("06-picture-choice-question", window)

    d.click(boxes[0])
    right = d.wait_label_among(["Správně", "ŠPATNĚ"]) == "Správně"
    # Only the right picture stays on the board; a click on it moves on.
    kept = d.wait_for(lambda: (lambda shown: shown[0] if len(shown) == 1 else None)(
        [b for b in boxes if d.showing(b)]), "one picture left on the board")
    d.screenshot("07-picture-choice-verdict", window)
    d.click(kept)
    expect_labels(d, ["1 / 0" if right else "0 / 1", "B - 1" if right else "D - 1",
                      "Zbývá znaků - 50"])
    d.wait_for(lambda: all(map(d.showing, boxes)), "the board of the next question")

    d.act(d.get("push button", "STOP"))
    d.wait_showing("push button", "START")


def help_pages(d, window):
    d.act(d.get("push button", "Nápověda"))
    page1 = d.wait_showing("push button", "Další strana nápovědy")
    d.screenshot("08-help-page-1", window)

    d.click(page1)
    page2 = d.wait_showing("push button", "Konec nápovědy")
    d.wait_hidden(page1, "help page 1")
    d.screenshot("09-help-page-2", window)

    # Page 2 has the keyboard focus; Space turns it like a click.
    d.wait_focused(page2)
    d.key(SPACE)
    d.wait_hidden(page2, "help page 2")
    d.wait_showing("push button", "Nápověda")


def selection_window(d):
    d.act(d.get("push button", "Vybrat znaky ke zkoušení"))
    dialog = d.wait_showing("dialog", "Nastavení")
    boxes = d.at.findAllDescendants(dialog, lambda o: o.getRoleName() == "check box")
    if len(boxes) != 51:
        raise Failure(f"the selection window has {len(boxes)} check boxes, not 51")
    unticked = [b.name for b in boxes if not b.getState().contains(d.at.STATE_CHECKED)]
    if unticked:
        raise Failure(f"boxes unticked at start: {unticked}")
    d.screenshot("10-selection-window", dialog)

    small_alfa = d.get("check box", "malé alfa", dialog)
    d.act(small_alfa, "Toggle")
    d.wait_for(lambda: not small_alfa.getState().contains(d.at.STATE_CHECKED),
               "'malé alfa' to be unticked")
    d.act(d.get("push button", "Použít", dialog))
    d.wait_for(lambda: d.find("dialog", "Nastavení") is None or not d.showing(dialog),
               "the selection window to close")
    d.label("Zbývá znaků - 50")


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    program, screenshots = os.path.abspath(sys.argv[1]), sys.argv[2]
    os.makedirs(screenshots, exist_ok=True)
    # A screenshot left from an earlier run must not pass for one of this run.
    for name in os.listdir(screenshots):
        if re.fullmatch(r"\d\d-[a-z0-9-]+\.png", name):
            os.remove(os.path.join(screenshots, name))
    signal.signal(signal.SIGALRM, on_alarm)
    signal.signal(signal.SIGTERM, on_terminate)
    signal.alarm(WHOLE_RUN_SECONDS)

    workdir = tempfile.mkdtemp(prefix="kelmora-e2e-")
    services = Services(workdir)
    log_path = os.path.join(workdir, "program.log")
    try:
        services.start_x()
        services.start_session_bus()
        services.start_accessibility_bus()
        with open(log_path, "w") as log:
            program_process = services.start_program(program, log)
        # pyatspi finds the accessibility bus through the session bus named here.
        os.environ["DISPLAY"] = services.env["DISPLAY"]
        os.environ["DBUS_SESSION_BUS_ADDRESS"] = services.env["DBUS_SESSION_BUS_ADDRESS"]
        import pyatspi

        driver = Driver(pyatspi, program_process.pid, screenshots)
        window = driver.wait_for(lambda: next((w for w in driver.app if w.name == TITLE), None),
                                 f"the window '{TITLE}'")
        # No window manager activates the window; a click does, as it would for a user.
        driver.click(driver.label("Zbývá znaků - 51"))
        driver.wait_for(lambda: window.getState().contains(pyatspi.STATE_ACTIVE),
                        "the main window to become active")
        typed_name_round(driver, window)
        picture_choice_round(driver, window)
        help_pages(driver, window)
        selection_window(driver)

        if program_process.poll() is not None:
            raise Failure(f"the program exited with {program_process.returncode}")
        with open(log_path) as log:
            warnings = [line for line in log if "cannot load picture" in line]
        if warnings:
            raise Failure("the program could not load pictures:\n" + "".join(warnings))
    except Failure as failure:
        print(f"FAIL: {failure}", file=sys.stderr)
        if os.path.exists(log_path):
            with open(log_path) as log:
                sys.stderr.write("program output (last lines):\n" + "".join(log.readlines()[-30:]))
        return 1
    finally:
        signal.alarm(0)
        services.stop()
        shutil.rmtree(workdir, ignore_errors=True)
    print("PASS")
    return 0


if __name__ == "__main__":
    sys.exit(main())
