#!/usr/bin/env python3
"""Plants single faults one at a time in a scratch copy and reports which fast tests catch them.

A measuring tool, not a test: it does not run in CI. The scratch copy and its build folder are
kept between runs, so that each fault rebuilds only what it touches. Only the tests whose
executable (or, for znaky/, whose pictures) changed are run; the others cannot see the fault.
"""
import argparse
import filecmp
import os
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
    ("app/twips.h", "top + height + kBottomMarginTwips > screenHeight", "top + height > screenHeight", "window may reach the screen bottom"),
    # app/form1.cpp handlers
    ("app/form1.cpp", "obrazek1->clear();\n    setDirectionEnabled(true);\n    setup->show();", "obrazek1->clear();\n    setDirectionEnabled(true);", "setup hidden after typed HOTOVO"),
    ("app/form1.cpp", "stopka->hide();\n    enter->hide();\n    message->clear();", "stopka->hide();\n    message->clear();", "enter shown after typed HOTOVO"),
    ("app/form1.cpp", "setDirectionEnabled(false);", "", "direction enabled during a run"),
    ("app/form1.cpp", "start->hide();\n    setup->hide();\n    setLetteringEnabled(false);", "start->hide();\n    setup->hide();", "lettering enabled during a typed question"),
    ("app/form1.cpp", "vema->setText(phrase(hledany, koncovky));", "vema->setText(phrase(question.boardRows[0], koncovky));", "vema phrase of slot 0"),
    ("app/form1.cpp", "enter->setVisible(!zadano->text().isEmpty());", "enter->setVisible(true);", "enter shown for an empty box"),
    ("app/form1.cpp", "if (i != spravna)\n            obrazek[i]->hide();", "if (i != spravna && false)\n            obrazek[i]->hide();", "wrong pictures stay after a click"),
    ("app/form1.cpp", "const bool right = kindex == spravne;", "const bool right = kindex <= spravne;", "board verdict too lenient"),
    ("app/form1.cpp", "if (!start->isHidden())\n        return;\n    kliknuto", "kliknuto", "board answers without a run"),
    ("app/form1.cpp", "if (!right)\n        message->setText(nameLines(nazvy));", "", "names not listed after a wrong answer"),
    ("app/form1.cpp", "designColour(right ? kRightColour : kWrongColour)", "designColour(kRightColour)", "wrong verdict in green"),
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
    ("selection/grlist.cpp", "!file.flush() || ", "", "save not atomic on a full disk"),
    ("selection/grlist.cpp", "bytes[end] == '\\r' && bytes[end + 1] == '\\n'", "false", "CR LF read as two ends"),
    ("selection/grlist.cpp", "(atLineStart ? 1 : 0)", "0", "read failure on the wrong line"),
    ("selection/grlist.cpp", "part(line, 5, 1)", "part(line, 5, 2)", "flag takes two characters"),
    ("selection/form2.cpp", "isSelected(kSmallRows + i + 1)", "isSelected(kSmallRows + i)", "capital boxes off by one"),
    ("selection/form2.cpp", "if (Index == 0)", "if (Index == 1)", "invert labels swapped"),
    ("selection/form2.cpp", "if (pocetznaku != 0) {", "if (true) {", "empty selection accepted"),
    ("selection/form2.cpp", "applyBoxes();\n    const QString fileName", "const QString fileName", "save does not apply the boxes"),
    ("selection/form2.cpp", "zaskrtej();\n    if (!result.ok())", "if (!result.ok())", "load leaves the boxes"),
    ("selection/form2.cpp", "void Form2::Form_Unload()\n{\n    m_zbpopis->setText(zbyvaCaption(pocetznaku));", "void Form2::Form_Unload()\n{", "closing writes no count"),
    ("selection/form2.cpp", "vyber().markUnusedCells();\n    return ticked;", "return ticked;", "apply forgets the unused cells"),
    ("selection/form2.cpp", "message.setTextFormat(Qt::PlainText);", "", "file name shown as rich text"),
    ("selection/form2.cpp", "dialog.setFileMode(QFileDialog::ExistingFile);", "", "open dialog takes new names"),
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
    out = run(["ctest", "--test-dir", build, "-N", "-LE", "e2e|package|bench"]).stdout
    return [line.split(":")[1].strip() for line in out.splitlines() if line.strip().startswith("Test")
            and ":" in line]


SLOW = {"tst_soak"}


def ctest(build, names):
    """The names of the given tests that fail or time out."""
    if not names:
        return []
    r = run(["ctest", "--test-dir", build, "-j2", "--timeout", "300", "-R",
             "^(" + "|".join(names) + ")$"])
    failed = []
    for line in r.stdout.splitlines():
        parts = line.split()
        if "***" in line and len(parts) > 3:
            failed.append(parts[3] + (" (timeout)" if "Timeout" in line else ""))
    return failed


def stamps(build, tests):
    result = {}
    for t in tests:
        path = os.path.join(build, "bin", t)
        result[t] = os.path.getmtime(path) if os.path.exists(path) else 0
    return result


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--work", default="/tmp/kelmora-mutants")
    ap.add_argument("--out", default=None, help="TSV file for the results")
    ap.add_argument("--only", default=None, help="substring of the labels to run")
    ap.add_argument("--tree", default=ROOT, help="the source tree to copy (default: this one)")
    ap.add_argument("--skip", type=int, default=0, help="faults to leave out at the start")
    ap.add_argument("--lazy", action="store_true", help="run the soak only for faults the rest miss")
    args = ap.parse_args()
    src, build = os.path.join(args.work, "src"), os.path.join(args.work, "build")
    sync(args.tree, src)
    if not os.path.exists(os.path.join(build, "build.ninja")):
        r = run(["cmake", "-S", src, "-B", build, "-G", "Ninja", "-DCMAKE_BUILD_TYPE=RelWithDebInfo"])
        if r.returncode:
            sys.exit(r.stdout)
    tests = test_list(build)
    targets = tests
    r = run(["cmake", "--build", build, "-j2", "--target"] + targets)
    if r.returncode:
        sys.exit("clean build failed:\n" + r.stdout[-3000:])
    r = run(["ctest", "--test-dir", build, "-LE", "e2e|package|bench", "-j2", "--timeout", "300"])
    if r.returncode:
        sys.exit("clean tree fails its tests:\n" + r.stdout[-3000:])

    rows = []
    out = open(args.out, "w") if args.out else None
    for path, old, new, label in MUTANTS[args.skip:]:
        if args.only and args.only not in label:
            continue
        file = os.path.join(src, path)
        original = open(file, encoding="utf-8").read()
        if original.count(old) != 1:
            rows.append((label, "NOT APPLIED (%d matches)" % original.count(old)))
            print("%-45s | %s" % rows[-1], flush=True)
            continue
        before = stamps(build, tests)
        start = time.time()
        try:
            open(file, "w", encoding="utf-8").write(original.replace(old, new))
            r = run(["cmake", "--build", build, "-j2", "--target"] + targets)
            if r.returncode:
                caught = "BUILD FAILED"
            else:
                after = stamps(build, tests)
                changed = [t for t in tests if after[t] != before[t] or
                           (path.startswith("znaky/") and t == "tst_znaky")]
                # With --lazy the slow tests run only when the fast ones miss the fault.
                fast = [t for t in changed if not (args.lazy and t in SLOW)]
                failed = ctest(build, fast)
                if not failed and len(fast) < len(changed):
                    failed = ctest(build, [t for t in changed if t not in fast])
                caught = ", ".join(failed) if failed else "MISSED"
        finally:
            open(file, "w", encoding="utf-8").write(original)
        rows.append((label, caught))
        print("%-45s | %s  [%ds]" % (label, caught, time.time() - start), flush=True)
        if out:
            out.write("%s\t%s\t%s\n" % (path, label, caught))
            out.flush()
    missed = [r for r in rows if r[1] == "MISSED"]
    print("\n%d faults, %d caught, %d missed" % (len(rows), len(rows) - len(missed), len(missed)))


if __name__ == "__main__":
    main()
