#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Plants single faults one at a time in a scratch copy and reports which fast tests catch them.

A measuring tool, not a test: it does not run in CI. The scratch copy and its build folder are
kept between runs, so that each fault rebuilds only what it touches. Only the tests whose
executable (or, for znaky/, whose pictures) changed are run; the others cannot see the fault.
"""
import argparse
import filecmp
import json
import os
import re
import shutil
import subprocess
import sys
import time

# file, exact old text, new text, label
MUTANTS = [
    # quiz/
    ("quiz/grading.cpp", "if (state == kPending)\n        return 2;", "if (state == kPending)\n        return 1;", "first right answer gives A"),
    ("quiz/grading.cpp", "return 4;", "return 5;", "first wrong answer gives E"),
    ("quiz/grading.cpp", "return state - 1;", "return state;", "right answer keeps the mark"),
    ("quiz/grading.cpp", "qMin<qint16>(state + 1, 5)", "qMin<qint16>(state + 1, 6)", "wrong answer passes E"),
    ("quiz/grading.cpp", "if (state >= 1 && state <= 5)\n        return qMin", "if (state >= 2 && state <= 5)\n        return qMin", "wrong answer leaves A"),
    ("quiz/grading.cpp", "++tally.zbyva;", "{}", "recount drops pending rows"),
    ("quiz/grading.h", "znamka[3] == 0 && ", "", "run ends with a C mark"),
    ("quiz/grading.cpp", "(state > 1 && state < kNotInRun)", "(state >= 1 && state < kNotInRun)", "A is asked again"),
    ("quiz/grading.cpp", "row = random.pick(kCharacterRows) + 1;", "row = random.pick(kCharacterRows - 1) + 1;", "row 51 never drawn"),
    ("quiz/grading.cpp", "if (count < std::numeric_limits<qint16>::max())", "if (true)", "counts overflow"),
    ("quiz/board.cpp", "case 10: return 27;", "case 10: return 0;", "kappa loses its partner"),
    ("quiz/board.cpp", "random.pick(kCharacterRows - 1) + 1; // row 51", "random.pick(kCharacterRows) + 1; // row 51", "row 51 as a distractor"),
    ("quiz/board.cpp", "} while (pozice[row] != kFree);", "} while (false);", "distractors repeat"),
    ("quiz/board.cpp", "random.pick(kSlots - 1); // slot 20", "random.pick(kSlots); // slot 20", "right picture in slot 20"),
    ("quiz/board.cpp", "pozice[partner] = kPartner;", "(void)partner;", "partner on the board"),
    ("quiz/board.cpp", "pozice[question.hledany] = kSought;", "", "sought row also a distractor"),
    ("quiz/names.cpp", "RISZTCYUNUEDAEOrisztcyunuedaeo", "RISZTCYUNUEDAEOrisztcyunuedeao", "orez maps a wrong letter"),
    ("quiz/names.cpp", "trimSpaces(orez(typed).toLower())", "orez(typed).toLower()", "spaces around an answer count"),
    ("quiz/names.cpp", "if (answer.isEmpty())\n        return false;", "", "empty answer is right"),
    ("quiz/names.cpp", "for (int i = 1; i <= 5; ++i) {\n        if (answer", "for (int i = 1; i <= 1; ++i) {\n        if (answer", "only the first name accepted"),
    ("quiz/names.cpp", "text[first] == QLatin1Char(' ')", "text[first].isSpace()", "tab trimmed as a space"),
    ("quiz/names.cpp", "result += kCrLf;", "result += QLatin1Char('\\n');", "rozloz breaks with LF"),
    ("quiz/names.cpp", "start = end + 1;", "start = end + 2;", "splitNames skips a character"),
    ("quiz/random.cpp", "0x1.0p-53", "0x1.0p-52", "random numbers reach 2"),
    ("quiz/random.cpp", "std::floor(next() * count)", "std::round(next() * count)", "pick rounds"),
    # app/ catalogue, vyber, runreset, czech
    ("app/catalogue.cpp", '"kappa;kapa;;;;"', '"kappa;;;;;"', "kappa loses kapa"),
    ("app/catalogue.cpp", "{18, 8, 10}", "{18, 10, 8}", "variant names swapped"),
    ("app/catalogue.cpp", '"á", "á", "á", "á", "ý", "á"', '"á", "á", "á", "á", "á", "á"', "epsilon ending"),
    ("app/catalogue.cpp", "small ? row : row - kSmallRows", "small ? row : row - 26", "capital picture numbers"),
    ("app/catalogue.cpp", "koncovky[row - kSmallRows]", "koncovky[row - 24]", "capital phrase"),
    ("app/vyber.cpp", 'return flag != QLatin1String("n");', 'return flag.compare(QLatin1String("n"), Qt::CaseInsensitive) != 0;', "N deselects"),
    ("app/vyber.cpp", "m_cells[row][2] = QStringLiteral", "m_cells[row][1] = QStringLiteral", "unused cells in column 1"),
    ("app/vyber.cpp", "m_cells[characterRow - kSmallRows][2]", "m_cells[characterRow - kSmallRows][1]", "capitals read column 1"),
    ("app/runreset.cpp", "count += selected;", "count += 1;", "reset counts every row"),
    ("app/runreset.cpp", "row <= kCharacterRows + 3", "row <= kCharacterRows + 2", "row 54 keeps its state"),
    ("app/czech.cpp", "QCoreApplication::installTranslator(&qtTranslator);", "(void)0;", "Czech translator not installed"),
    ("app/twips.h", "top + height + kBottomMarginTwips > screenBottom", "top + height > screenBottom", "window may reach the screen bottom"),
    # app/form1.cpp handlers
    ("app/form1.cpp", "    stopka->hide();\n    setup->show();\n    setLetteringEnabled(true);\n    setDirectionEnabled(true);", "    stopka->hide();\n    setLetteringEnabled(true);\n    setDirectionEnabled(true);", "setup hidden after HOTOVO"),
    ("app/form1.cpp", "    } else {\n        enter->hide();\n        emptyAnswer(zadano);", "    } else {\n        emptyAnswer(zadano);", "enter shown after typed HOTOVO"),
    ("app/form1.cpp", "setDirectionEnabled(false);", "", "direction enabled during a run"),
    ("app/form1.cpp", "start->hide();\n    setup->hide();\n    setLetteringEnabled(false);", "start->hide();\n    setup->hide();", "lettering enabled during a typed question"),
    ("app/form1.cpp", "vema->setText(phrase(hledany, koncovky));", "vema->setText(phrase(question.boardRows[0], koncovky));", "vema phrase of slot 0"),
    ("app/form1.cpp", "enter->setVisible(!zadano->text().isEmpty());", "enter->setVisible(true);", "enter shown for an empty box"),
    ("app/form1.cpp", "if (i != spravna)\n            obrazek[i]->hide();", "if (i != spravna && false)\n            obrazek[i]->hide();", "wrong pictures stay after a click"),
    ("app/form1.cpp", "const bool right = kindex == spravne;", "const bool right = kindex <= spravne;", "board verdict too lenient"),
    ("app/form1.cpp", "if (!start->isHidden())\n        return;\n    kliknuto", "kliknuto", "board answers without a run"),
    ("app/form1.cpp", "if (!right)\n        message->setText(nameLines(nazvy));", "", "names not listed after a wrong answer"),
    ("app/form1.cpp", "colourFromNumber(right ? kRightColour : kWrongColour)", "colourFromNumber(kRightColour)", "wrong verdict in green"),
    ("app/form1.cpp", "tally = {};\n    correct = 0;", "tally = {};", "STOP keeps the right count"),
    ("app/form1.cpp", "markCaption(i, tally.znamka[i])", "markCaption(i, tally.znamka[1])", "every mark label shows A"),
    ("app/form1.cpp", "QChar(u'A' + mark - 1)", "QChar(u'A' + mark)", "mark letters shifted"),
    ("app/form1.cpp", "truefalse->clear();\n    pokracovat->hide();\n    zadano->setFocus();", "truefalse->clear();\n    zadano->setFocus();", "Pokracovat stays"),
    ("app/form1.cpp", "prepni2();\n    nulujznaky();", "prepni2();", "switching does not recount"),
    ("app/form1.cpp", 'Index == 0 ? QStringLiteral(".gif")', 'Index == 1 ? QStringLiteral(".gif")', "lettering options swapped"),
    ("app/form1.cpp", "setTopTwips(predhelpT);", "", "help forgets the window's place"),
    ("app/form1.cpp", "if (n < 1 || n > kCharacterRows) {", "if (n < 1) {", "verdict without a character"),
    # selection/
    ("selection/grlist.cpp", ".arg(row, 2, 10, QLatin1Char('0'))", ".arg(row)", "list rows without leading zero"),
    ("selection/grlist.cpp", 'QStringLiteral("%1-%2-%3\\r\\n")', 'QStringLiteral("%1-%2-%3\\n")', "list lines end with LF"),
    ("selection/grlist.cpp", "else if (line.startsWith('v'))\n            column = 2;", "else if (line.startsWith('v'))\n            column = 1;", "v lines into column 1"),
    ("selection/grlist.cpp", "if (bytes.contains('\\0'))", "if (false)", "NUL byte accepted"),
    ("selection/grlist.cpp", "if (bytes.size() > kMaxListSize)", "if (bytes.size() >= kMaxListSize)", "64 KiB refused"),
    ("selection/grlist.cpp", "value > Vyber::kRows - 1", "value > Vyber::kRows", "row 31 accepted"),
    ("selection/grlist.cpp", "std::nearbyint(number.toDouble(&ok))", "std::round(number.toDouble(&ok))", "halves rounded up"),
    ("selection/grlist.cpp", "        ::unlink(copy.constData());\n        return fail(Error::WriteFailed", "        return fail(Error::WriteFailed", "failed copy left behind"),
    ("selection/grlist.cpp", "bytes[end] == '\\r' && bytes[end + 1] == '\\n'", "false", "CR LF read as two ends"),
    ("selection/grlist.cpp", "(atLineStart ? 1 : 0)", "0", "read failure on the wrong line"),
    ("selection/grlist.cpp", "part(line, 5, 1)", "part(line, 5, 2)", "flag takes two characters"),
    ("selection/form2.cpp", "isSelected(kSmallRows + i + 1)", "isSelected(kSmallRows + i)", "capital boxes off by one"),
    ("selection/form2.cpp", "if (Index == 0)", "if (Index == 1)", "invert labels swapped"),
    ("selection/form2.cpp", "if (pocetznaku != 0) {", "if (true) {", "empty selection accepted"),
    ("selection/form2.cpp", "    applyBoxes();\n    const QString fileName = listNameToSave", "    const QString fileName = listNameToSave", "save does not apply the boxes"),
    ("selection/form2.cpp", "if ((result.ok() || result.error == GrlistResult::Error::RowOutOfRange) && loaded)", "if (result.ok() && loaded)", "part-way load leaves the boxes"),
    ("selection/form2.cpp", "void Form2::Form_Unload()\n{\n    m_zbpopis->setText(zbyvaCaption(pocetznaku));", "void Form2::Form_Unload()\n{", "closing writes no count"),
    ("selection/form2.cpp", "vyber().markUnusedCells();\n    return ticked;", "return ticked;", "apply forgets the unused cells"),
    ("selection/form2.cpp", "message.setTextFormat(Qt::PlainText);", "", "file name shown as rich text"),
    ("selection/form2.cpp", "    dialog.setOption(QFileDialog::DontConfirmOverwrite);\n", "    dialog.setOption(QFileDialog::DontConfirmOverwrite);\n    if (mode == QFileDialog::AcceptOpen)\n        dialog.setFileMode(QFileDialog::ExistingFile);\n", "open dialog greys out names without the extension"),
    # the run and list-file fixes: endless draw
    ("quiz/grading.cpp", "    if (std::none_of(first, first + kCharacterRows, isEligible))\n        return 0;\n", "", "draw loops when nothing is eligible"),
    ("quiz/board.cpp", "    if (question.hledany == 0)\n        return question;\n", "", "board drawn for no row"),
    ("app/form1.cpp", "tally = recount(tabznaku);\n        pokracovat->hide();", "pokracovat->hide();", "START keeps the old mark counts"),
    ("app/form1.cpp", "const int row = tally.runOver() ? 0 : drawRow", "const int row = drawRow", "typed run goes on past its end"),
    # an old verdict leaking into the next run
    ("app/form1.cpp", "        pokracovat->hide();\n        message->clear();\n        for", "        message->clear();\n        for", "START leaves Pokracovat shown"),
    ("app/form1.cpp", "        message->clear();\n        for (int i = 1; i <= 5; ++i)\n            popis[i]->setText(markCaption(i, 0));", "        for (int i = 1; i <= 5; ++i)\n            popis[i]->setText(markCaption(i, 0));", "START leaves the old names"),
    # double-clicks
    ("app/input.cpp", "qobject_cast<QAbstractButton *>(watched) || qobject_cast<PictureBox *>(watched)", "qobject_cast<QAbstractButton *>(watched)", "double-click on a picture is two clicks"),
    ("app/input.cpp", "qobject_cast<QAbstractButton *>(watched) || qobject_cast<PictureBox *>(watched)", "qobject_cast<PictureBox *>(watched)", "double-click closing help presses what it covered"),
    ("app/input.cpp", "if (key->isAutoRepeat() && pressing(key->key()))", "if (false)", "a held key acts"),
    ("app/input.cpp", "                static_cast<QWidget *>(watched)->window()->setAttribute(Qt::WA_KeyboardFocusChange);\n", "                ;\n", "focus moved by a key unseen"),
    ("selection/form2.cpp", "        heading->setFocusPolicy(Qt::TabFocus);\n", "", "invert labels take no focus"),
    # help page
    ("app/form1.cpp", "    setCoveredEnabled(false);\n", "", "help page leaves its controls live"),
    ("app/form1.cpp", "(m_focusBeforeHelp ? m_focusBeforeHelp.data() : help)->setFocus();", "help->setFocus();", "closing help focuses Napoveda"),
    ("app/form1.cpp", "    help->setFocusPolicy(Qt::TabFocus);\n", "", "clicking Napoveda takes the focus"),
    # focus
    ("app/form1.cpp", "    focusBoard(0);\n", "", "no focus on a new board"),
    ("app/form1.cpp", "    focusBoard(spravna);\n", "", "focus stays on the chosen picture"),
    ("app/form1.cpp", "    enter->hide();\n    start->setFocus();\n", "    enter->hide();\n", "STOP leaves no focus"),
    ("app/form1.cpp", "    setup->setFocus();\n}", "    start->setFocus();\n}", "HOTOVO puts the focus on START"),
    # issue 15, faults 1-5: help under the board, input behind a modal window, hidden controls
    # acting, the board and the keyboard
    ("app/form1.cpp", "    hlppic1->raise();\n    hlppic2->raise();\n", "", "help page under a board made later"),
    ("app/accessibility.cpp", "(!modal || modal == widget->window())", "true", "assistive press behind a modal window"),
    ("app/accessibility.cpp", "return widget->isVisible() && widget->isEnabled() &&", "return widget->isEnabled() &&", "assistive press on a hidden control"),
    ("app/form1.cpp", "i == slot ? Qt::TabFocus : Qt::NoFocus", "Qt::TabFocus", "every picture a Tab stop"),
    ("app/form1.cpp", "if (slot < kSlots && !arrow.isNull()) {", "if (false) {", "arrows leave the board"),
    ("app/form1.cpp", "!box->isHidden() && !box->pixmap().isNull()", "true", "arrows onto empty pictures"),
    ("app/form1.cpp", "    setup->setFocus();\n}", "}", "focus on an empty picture after HOTOVO"),
    # list files: pipes, cancel, suffix, Czech reasons
    ("selection/grlist.cpp", "    if (!S_ISREG(seen.st_mode))\n        return notRegularFile(seen.st_mode);\n    const int fd = ::open(name.constData(), O_RDONLY", "    const int fd = ::open(name.constData(), O_RDONLY", "pipe opened before it is refused"),
    ("selection/grlist.cpp", "    if (std::optional<GrlistResult> refused = notTheFileSeen(fd, seen))\n        return *refused;\n    QFile file;", "    QFile file;", "swapped-in pipe read"),
    ("selection/grlist.cpp", "        if (!S_ISREG(seen.st_mode))\n            return notRegularFile(seen.st_mode);\n        result.existed = true;", "        result.existed = true;", "folder saved over"),
    ("selection/grlist.cpp", "if (result.existed && (createError == EACCES || createError == EPERM))", "if (false)", "read-only folder refuses the save"),
    ("selection/grlist.cpp", "        result.heldBytes = written;\n", "", "a list written in place said to stay"),
    ("selection/grlist.cpp", "(result.existed ? QStringLiteral(\"Novou verzi souboru nelze vytvořit: %1.\")", "(false ? QStringLiteral(\"Novou verzi souboru nelze vytvořit: %1.\")", "existing list said to be created"),
    ("selection/grlist.cpp", "typed.endsWith(kSuffix, Qt::CaseInsensitive)", "typed.endsWith(kSuffix)", "extension's letter case matters"),
    ("selection/form2.cpp", "if (mode == QFileDialog::AcceptOpen || !QFileInfo::exists(fileName) ||", "if (true ||", "a list replaced without asking"),
    ("app/czech.cpp", "if (files && role == Qt::DisplayRole && index.column() == 2 && files->isDir(source))", "if (false)", "folder type in English"),
    ("app/czech.cpp", ": bytes >= 2 && bytes <= 4 ?", ": bytes >= 2 && bytes <= 5 ?", "5 bajty"),
    ("app/look.cpp", "    QApplication::setFont(font);\n", "", "Qt's dialogs in the desktop's default face"),
    ("app/form1.cpp", "!std::exchange(m_toldMissingPictures, true)", "true", "missing pictures told at every picture"),
    ("app/form1.cpp", "        tellMissingPictures(path);\n", "        (void)path;\n", "missing pictures not told"),
    ("selection/grlist.cpp", "case S_IFSOCK: return QStringLiteral(\"soket\");", "", "socket named as another thing"),
    ("selection/form2.cpp", "    if (!typed.isEmpty())\n        loadSelectionList", "    zaskrtej();\n    if (!typed.isEmpty())\n        loadSelectionList", "cancelled load refreshes the boxes"),
    ("selection/form2.cpp", "if ((result.ok() || result.error == GrlistResult::Error::RowOutOfRange) && loaded)", "if (loaded)", "refused load refreshes the boxes"),
    ("selection/form2.cpp", "    if (typed.isEmpty())\n        return;\n    applyBoxes();", "    applyBoxes();\n    if (typed.isEmpty())\n        return;", "cancelled save applies the boxes"),
    ("selection/grlist.cpp", "return typed.endsWith(kSuffix, Qt::CaseInsensitive) ? typed : typed + kSuffix;", "return typed;", "no extension added when saving"),
    ("selection/grlist.cpp", "return QFileInfo::exists(typed) ? typed : listNameToSave(typed);", "return typed;", "no extension tried when loading"),
    ("selection/grlist.cpp", "    case EACCES:\n", "", "no permission as an I/O error"),
    ("selection/grlist.cpp", "    case EROFS: return QStringLiteral(\"disk je jen pro čtení\");\n", "", "read-only disk as an I/O error"),
    ("selection/grlist.cpp", "    case EDQUOT:\n    case EFBIG: return", "    case EDQUOT: return", "file size limit as an I/O error"),
    ("selection/grlist.cpp", "    case ENAMETOOLONG: return QStringLiteral(\"název souboru je příliš dlouhý\");\n", "", "long name as an I/O error"),
    ("selection/grlist.cpp", "return fail(Error::WriteFailed, writeError);", "return fail(Error::WriteFailed, 0);", "write failure loses its cause"),
    ("selection/grlist.cpp", "? QStringLiteral(\" Žádný soubor nevznikl.\")", "? QStringLiteral(\" Soubor zůstal, jak byl.\")", "a new file said to stay as it was"),
    ("selection/grlist.cpp", "nejspíš je v jiném kódování", "nejspíš je poškozený", "no hint at the encoding"),
    ("selection/grlist.cpp", "const QString text = QString::fromUtf8(line);", "const QString text = QString::fromLatin1(line);", "line shown as Latin-1"),
    ("selection/grlist.cpp", "text.size() <= kShown ? text : text.left(kShown) + QChar(u'…')", "text", "line shown whole"),
    # znaky/ generator
    ("znaky/lettering.cpp", '"ςϑϰ"', '"ςϰϑ"', "variant theta and kappa pictures swapped"),
    ("znaky/lettering.cpp", "αβγδεζηθικλμν", "αβγδεζηθικλνμ", "small mu and nu pictures swapped"),
]

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SKIP = {"build", ".git", ".cache"}


def sync(src, dst):
    """Copies changed files only, so that the build stays incremental."""
    for base, dirs, files in os.walk(src):
        dirs[:] = [d for d in dirs if d not in SKIP and not d.startswith("build")]
        rel = os.path.relpath(base, src)
        os.makedirs(os.path.join(dst, rel), exist_ok=True)
        for name in files:
            a, b = os.path.join(base, name), os.path.join(dst, rel, name)
            if not os.path.exists(b) or not filecmp.cmp(a, b, shallow=False):
                shutil.copy(a, b)  # a fresh time, so that the build sees the change


def run(cmd, **kw):
    return subprocess.run(cmd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, **kw)


def test_list(build):
    """The fast tests, each with the executable it runs (the last argument of a shell line)."""
    out = run(["ctest", "--test-dir", build, "--show-only=json-v1", "-LE", "e2e|package|bench|wayland"])
    tests = {}
    for test in json.loads(out.stdout)["tests"]:
        command = test["command"]
        tests[test["name"]] = command[-1] if os.path.basename(command[0]) == "sh" else command[0]
    return tests


def ctest(build, names):
    """The given tests that caught the fault (failed on an assertion or crashed), and those that
    ran out of time."""
    if not names:
        return [], []
    r = run(["ctest", "--test-dir", build, "-j2", "--timeout", "300", "-R",
             "^(" + "|".join(names) + ")$"])
    caught, timed_out = [], []
    for line in r.stdout.splitlines():
        parts = line.split()
        if "***" in line and len(parts) > 3:
            (timed_out if "Timeout" in line else caught).append(parts[3])
    return caught, timed_out


def stamps(tests):
    return {t: os.path.getmtime(exe) if os.path.exists(exe) else 0 for t, exe in tests.items()}


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--work", default="/tmp/kelmora-mutants")
    ap.add_argument("--out", default=None, help="TSV file for the results")
    ap.add_argument("--only", default=None, help="pattern of the labels to run")
    ap.add_argument("--tree", default=ROOT, help="the source tree to copy (default: this one)")
    ap.add_argument("--skip", type=int, default=0, help="faults to leave out at the start")
    args = ap.parse_args()
    src, build = os.path.join(args.work, "src"), os.path.join(args.work, "build")
    sync(args.tree, src)
    if not os.path.exists(os.path.join(build, "build.ninja")):
        r = run(["cmake", "-S", src, "-B", build, "-G", "Ninja", "-DCMAKE_BUILD_TYPE=RelWithDebInfo"])
        if r.returncode:
            sys.exit(r.stdout)
    # Built whole once, so that CTest knows each test's executable.
    r = run(["cmake", "--build", build, "-j2"])
    if r.returncode:
        sys.exit("clean build failed:\n" + r.stdout[-3000:])
    tests = test_list(build)
    targets = sorted({os.path.basename(exe) for exe in tests.values()})
    # A test that fails on the clean tree can judge no fault: it is left out, and said so.
    broken = sum(ctest(build, tests), [])
    if broken:
        print("left out, failing on the clean tree: " + ", ".join(broken), flush=True)
        tests = {t: e for t, e in tests.items() if t not in broken}

    rows = []
    out = open(args.out, "w") if args.out else None
    for path, old, new, label in MUTANTS[args.skip:]:
        if args.only and not re.search(args.only, label):
            continue
        file = os.path.join(src, path)
        original = open(file, encoding="utf-8").read()
        if original.count(old) != 1:
            rows.append((label, "NOT APPLIED (%d matches)" % original.count(old)))
            print("%-45s | %s" % rows[-1], flush=True)
            continue
        before = stamps(tests)
        start = time.time()
        try:
            open(file, "w", encoding="utf-8").write(original.replace(old, new))
            r = run(["cmake", "--build", build, "-j2", "--target"] + targets)
            if r.returncode:
                caught = "DOES NOT BUILD"
            else:
                after = stamps(tests)
                changed = [t for t in tests if after[t] != before[t] or
                           (path.startswith("znaky/") and t == "tst_znaky")]
                failed, timed_out = ctest(build, changed)
                caught = ("caught by " + ", ".join(failed) if failed else
                          "TIMED OUT (" + ", ".join(timed_out) + ")" if timed_out else "MISSED")
        finally:
            open(file, "w", encoding="utf-8").write(original)
        rows.append((label, caught))
        print("%-45s | %s  [%ds]" % (label, caught, time.time() - start), flush=True)
        if out:
            out.write("%s\t%s\t%s\n" % (path, label, caught))
            out.flush()
    # Only a failed assertion or a crash counts as caught; the rest are told apart.
    kinds = {k: [r for r in rows if r[1].startswith(k)] for k in
             ("caught", "MISSED", "NOT APPLIED", "DOES NOT BUILD", "TIMED OUT")}
    print("\n%d faults: %d caught, %d missed; apart: %d not applied, %d do not build, %d timed out"
          % (len(rows), *(len(v) for v in kinds.values())))

if __name__ == "__main__":
    main()
