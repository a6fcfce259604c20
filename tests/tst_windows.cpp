// SPDX-License-Identifier: MIT
// The two windows driven as a user drives them: whole runs, layouts, help, selection and files.
#include "artwork.h"
#include "board.h"
#include "czech.h"
#include "form2.h"
#include "formdriver.h"
#include "look.h"
#include "names.h"
#include "selectiontest.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QScreen>
#include <QStyle>
#include <QTemporaryDir>
#include <QTimer>
#include <QTranslator>

using namespace kelmora;

namespace {

// Closes the next modal window above `below` once it shows, noting what it showed.
void closeModal(QWidget *below, QStringList &seen, int tries = 300)
{
    QTimer::singleShot(10, [=, &seen] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || modal == below)
            return tries > 0 ? closeModal(below, seen, tries - 1) : void();
        seen << modal->windowTitle();
        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            seen << box->text() << QString::number(box->textFormat());
            return box->button(QMessageBox::Ok)->click();
        }
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        seen << dialog->nameFilters().join(u' ')
             << u"%1%2 %3 %4"_s.arg(dialog->acceptMode())
                    .arg(dialog->fileMode())
                    .arg(dialog->defaultSuffix(), dialog->labelText(QFileDialog::Reject));
        dialog->reject();
    });
}

// The selection window over a stand-in for the main window's label.
struct Selection {
    Selection() { form.show(); }
    // Clicks each named control; one ending in ² is double-clicked, one after ⇥ reached by
    // Tab and pressed with Space, one after ♿ pressed by an assistive tool.
    void click(const QString &names) const
    {
        for (const QString &token : names.split(u' ', Qt::SkipEmptyParts)) {
            QWidget *control =
                form.findChild<QWidget *>(QString(token).remove(QRegularExpression(u"[²⇥♿]"_s)));
            QVERIFY2(control, qPrintable(token));
            if (token.startsWith(u'♿')) {
                QAccessible::queryAccessibleInterface(control)->actionInterface()->doAction(
                    QAccessibleActionInterface::pressAction());
            } else if (token.startsWith(u'⇥')) {
                control->window()->activateWindow();
                QVERIFY(QTest::qWaitForWindowActive(control->window()));
                for (int tabs = 0; tabs < 60 && QApplication::focusWidget() != control; ++tabs)
                    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                QCOMPARE(QApplication::focusWidget(), control);
                QTest::keyClick(control, Qt::Key_Space);
            } else {
                token.endsWith(u'²') ? doubleClick(control)
                                     : QTest::mouseClick(control, Qt::LeftButton);
            }
        }
    }
    QString ticks() const // mt0..mt26, then vt0..vt23
    {
        QString ticks;
        for (int i = 0; i < 51; ++i) {
            const QString name = i < 27 ? u"mt%1"_s.arg(i) : u"vt%1"_s.arg(i - 27);
            ticks += form.findChild<QCheckBox *>(name)->isChecked() ? u'z' : u'n';
        }
        return ticks;
    }
    QLabel zbpopis{u"před"_s};
    Form2 form{&zbpopis};
};

// The flags of the boxes, in the order of Selection::ticks().
QString boxFlags()
{
    QString flags;
    for (int i = 0; i < 51; ++i)
        flags += vyber().cell(i % 27 + 1, i < 27 ? 1 : 2);
    return flags;
}

void selectOnly(const QList<int> &rows)
{
    vyber().markUnusedCells();
    for (int row = 1; row <= 51; ++row)
        vyber().setCell(row > 27 ? row - 27 : row, row > 27 ? 2 : 1,
                        rows.contains(row) ? u"z"_s : u"n"_s);
}

} // namespace

class TestWindows : public QObject
{
    Q_OBJECT

private slots:
    // As the program starts: its look and Qt's Czech catalogue.
    void initTestCase() { prepareApplication(m_translator); }
    void init() { vyber().clear(); }
    void cleanup() { m_form.reset(); }

    void run_data()
    {
        QTest::addColumn<bool>("pictures");
        QTest::addColumn<int>("count");      // rows spread over small, variant and capital forms
        QTest::addColumn<int>("wrongEvery"); // answers 0, n, 2n … wrong; 0: all right
        QTest::addColumn<int>("stopAt");     // STOP before this answer; -1: on to HOTOVO
        QTest::addColumn<int>("questions");  // over runs, a quarter wrong, STOP now and then
        for (bool pictures : {false, true}) {
            const char *mode = pictures ? "pictures" : "typed";
            QTest::addRow("%s, one, right", mode) << pictures << 1 << 0 << -1 << 0;
            QTest::addRow("%s, one, wrong first", mode) << pictures << 1 << 3 << -1 << 0;
            QTest::addRow("%s, 51, every third wrong", mode) << pictures << 51 << 3 << -1 << 0;
            QTest::addRow("%s, STOP", mode) << pictures << 5 << 2 << 4 << 0;
            QTest::addRow("%s, none selected", mode) << pictures << 0 << 0 << -1 << 0;
            QTest::addRow("%s, soak", mode) << pictures << 51 << 0 << -1 << 10000;
        }
    }

    // Every score against the test's own answer key; the controls locked during a run and
    // back when it ends or stops. The soak rows play ten thousand questions.
    void run()
    {
        QFETCH(bool, pictures);
        QFETCH(int, count);
        QFETCH(int, wrongEvery);
        QFETCH(int, stopAt);
        QFETCH(int, questions);
        QList<int> rows;
        for (int i = 1; i <= count; ++i)
            rows << i * 51 / count;
        QVERIFY(showForm(m_form, std::make_unique<SeededRandom>(count * 7 + wrongEvery)));
        FormDriver form(*m_form);
        std::array<QString, 28> koncovky;
        fillCatalogue(m_catalogue, koncovky);
        SeededRandom choices(5); // the test's own, apart from the window's
        AnswerKey key;
        const auto reset = [&] {
            key = {};
            for (int row : rows)
                key.marks[row] = 0;
        };
        // A wrong answer typed after STOP, and the selection changed since, belong to no run.
        form.click(u"start"_s);
        form.click(u"stopka"_s);
        form.type(u"?"_s);
        form.pressEnter();
        selectOnly(rows);
        if (pictures)
            form.click(u"Option13"_s);
        reset();
        form.click(count ? u"start"_s : u"pokracovat"_s);
        for (int asked = 0, answer = 0;
             form.caption(u"truefalse"_s) != u"HOTOVO"_s || asked < questions; ++asked, ++answer) {
            QVERIFY2(asked < questions + 1000, "the run does not end");
            QCoreApplication::processEvents();
            if (form.caption(u"truefalse"_s) == u"HOTOVO"_s) {
                reset();
                form.click(u"start"_s);
                answer = 0;
            }
            const int row = pictures ? m_form->soughtRow() : m_form->shownRow();
            QVERIFY(key.marks.value(row, 1) != 1 && !key.over());
            QCOMPARE(controlsShown(form), u"stopka"_s);
            QCOMPARE(m_form->focusWidget(), pictures ? form.box(0) : form.control(u"zadano"_s));
            if (questions ? asked < questions && choices.pick(500) == 0 : answer == stopAt) {
                form.click(u"stopka"_s);
                reset();
                QCOMPARE(m_form->focusWidget(), form.control(u"start"_s));
                QCOMPARE(form.score() + form.caption(u"truefalse"_s), key.score());
                if (!questions)
                    break;
                form.click(u"start"_s);
                answer = -1;
                continue;
            }
            const bool right = questions ? asked >= questions || choices.pick(4) != 0
                                         : !wrongEvery || answer % wrongEvery;
            const Nazvy nazvy = splitNames(m_catalogue.names[row]);
            const int slot = m_form->rightSlot();
            if (pictures) {
                QCOMPARE(form.caption(u"vema"_s), phrase(row, koncovky));
                QCOMPARE(form.caption(u"message"_s), rozloz(m_catalogue.names[row]));
                doubleClick(form.box(right ? slot : (slot + 20) % kSlots));
                for (int i = 0; i < kSlots; ++i)
                    QCOMPARE(form.box(i)->isHidden(), i != slot);
            } else {
                form.type(u"x"_s); // typed and rubbed out: no `enter`
                QTest::keyClick(form.control(u"zadano"_s), Qt::Key_Backspace);
                QVERIFY(!form.isShown(u"enter"_s));
                form.type(right ? nazvy[1] : u"?"_s);
                right ? form.pressEnter() : doubleClick(form.control(u"enter"_s));
                QCOMPARE(form.caption(u"message"_s), right ? QString() : nameLines(nazvy));
            }
            key.judge(row, right);
            QCOMPARE(form.caption(u"truefalse"_s) +
                         form.control(u"truefalse"_s)->palette().color(QPalette::WindowText).name(),
                     right ? u"Správně#008000"_s : u"ŠPATNĚ#ff0000"_s);
            QTest::keyClick(m_form->focusWidget(), pictures ? Qt::Key_Space : Qt::Key_Return);
            QCOMPARE(form.score(), key.score());
        }
        QVERIFY(key.over() || stopAt >= 0);
        QCOMPARE(controlsShown(form), u"start setup Option10 Option13 Option20 Option21"_s);
        QCOMPARE(form.caption(u"message"_s) + form.caption(u"vema"_s) +
                     (pictures ? QString() : form.control<QLineEdit>(u"zadano"_s)->text()),
                 QString());
        QVERIFY(form.control<QLabel>(u"obrazek1"_s)->pixmap().isNull());
        for (int i = 0; pictures && i < kSlots; ++i)
            QVERIFY(form.box(i)->pixmap().isNull() && form.box(i)->isVisible());
        if (!pictures && stopAt >= 0)
            return; // the answer box stays live after a typed run is stopped
        // Neither the board, the answer box nor an extra Enter after HOTOVO (STOP leaves the
        // focus on START, for a new run) judges or starts anything now.
        const QString verdict = form.caption(u"truefalse"_s) + form.caption(u"cormis"_s);
        if (stopAt < 0)
            QTest::keyClick(m_form->focusWidget(), Qt::Key_Return);
        if (pictures) {
            form.clickBox(1);
            form.click(u"Option10"_s);
        }
        form.type(u"beta"_s);
        form.pressEnter();
        QCOMPARE(form.caption(u"truefalse"_s) + form.caption(u"cormis"_s), verdict);
    }

    // The typed-name layout is short, the picture-choice one tall and kept on the screen;
    // switching counts the selection again. Help covers the window and puts it back.
    // "Tiskací" shows the .gif pictures, "Psací" the .jpg ones; a missing one leaves a box empty.
    void layoutsHelpAndLettering()
    {
        QTemporaryDir dir;
        QVERIFY(QImage(40, 50, QImage::Format_RGB32).save(dir.filePath(u"m01.gif"_s), "PNG"));
        QVERIFY(QImage(60, 70, QImage::Format_RGB32).save(dir.filePath(u"m01.jpg"_s), "PNG"));
        QVERIFY(showForm(m_form, std::make_unique<SeededRandom>(3), dir.path()));
        FormDriver form(*m_form);
        const int fitTop = (m_form->screen()->geometry().height() * 15 - 500 - 8145) / 15;
        QCOMPARE(m_form->frameGeometry().height(), 3165 / 15);
        for (int row = 1; row <= 27; ++row)
            vyber().setCell(row, 1, u"n"_s);
        m_form->move(100, fitTop + 20);
        QTRY_COMPARE(m_form->frameGeometry().top(), fitTop + 20);
        const QRect before = m_form->frameGeometry();
        form.control(u"start"_s)->setFocus();
        form.click(u"help"_s);
        QCOMPARE(m_form->childAt(600, 10), form.control(u"hlppic1"_s));
        // Only the page takes keys: Tab stays on it, Space on a covered control does nothing.
        QTest::keyClick(m_form->focusWidget(), Qt::Key_Tab);
        for (const char *name : {"help", "start"})
            QTest::keyClick(form.control(QLatin1String(name)), Qt::Key_Space);
        QCOMPARE(m_form->focusWidget(), form.control(u"hlppic1"_s));
        QTRY_COMPARE(m_form->frameGeometry().top(), fitTop);
        form.click(u"hlppic1"_s);
        QCOMPARE(m_form->childAt(600, 10), form.control(u"hlppic2"_s));
        form.click(u"hlppic2"_s);
        QTRY_COMPARE(m_form->frameGeometry(), before);
        QCOMPARE(m_form->focusWidget(), form.control(u"start"_s));
        form.click(u"Option13"_s);
        QCOMPARE(form.caption(u"zbpopis"_s), u"Zbývá znaků - 24"_s);
        QCOMPARE(m_form->frameGeometry().height(), 8145 / 15);
        QTRY_COMPARE(m_form->frameGeometry().top(), fitTop);
        QVERIFY(form.box(20)->isVisible() && !form.isShown(u"zadano"_s));
        vyber().setCell(3, 1, u"N"_s);
        form.click(u"Option10"_s);
        QCOMPARE(form.caption(u"zbpopis"_s), u"Zbývá znaků - 25"_s);
        QCOMPARE(m_form->frameGeometry().height(), 3165 / 15);
        QVERIFY(!form.box(0)->isVisible() && form.isShown(u"zadano"_s));
        selectOnly({1});
        for (const auto &[option, size] : {std::pair{"Option21", QSize(60, 70)},
                                           {"Option20", QSize(40, 50)},
                                           {"Option13", QSize(40, 50)}}) {
            form.click(u"stopka"_s);
            form.click(QLatin1String(option));
            form.click(u"start"_s);
            QCOMPARE(form.control<QLabel>(u"obrazek1"_s)->pixmap().size() +
                         form.box(m_form->rightSlot())->pixmap().size(),
                     size);
        }
        int empty = 0;
        for (int i = 0; i < kSlots; ++i)
            empty += form.box(i)->pixmap().isNull();
        QCOMPARE(empty, 20);
        form.click(u"help"_s); // nor does an assistive tool press a picture under the page
        QAccessible::queryAccessibleInterface(form.box(m_form->rightSlot()))
            ->actionInterface()
            ->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(form.caption(u"truefalse"_s), QString());
    }

    void look_data()
    {
        QTest::addColumn<QString>("faces"); // each button's name and the colour of its face
        QTest::addRow("main window")
            << u"help #c0ffff stopka #ffc0c0 start #c0ffc0 setup #c0c0ff pokracovat #ffffc0"_s;
        QTest::addRow("selection window") << u"sejf #ffe0c0 loud #ffe0c0 ok #c0ffff"_s;
    }

    // Under a dark desktop palette both windows keep their own light one: the window, each
    // button's face in its colour, every caption whole. Run again at a screen scale of 2, where
    // the picture shown is the one drawn for it at 160 × 200.
    void look()
    {
        QFETCH(QString, faces);
        QApplication::setPalette(QPalette(QColor(40, 40, 40)));
        useDesignLook();
        QVERIFY(showForm(m_form, std::make_unique<SeededRandom>(1)));
        Selection selection;
        QWidget *window = faces[0] == u'h' ? static_cast<QWidget *>(m_form.get()) : &selection.form;
        QVERIFY(window->grab().toImage().pixelColor(1, 1).lightness() > 200);
        const QStringList pairs = faces.split(u' ');
        for (int i = 0; i < pairs.size(); i += 2) {
            const QImage face = window->findChild<QWidget *>(pairs[i])->grab().toImage();
            QCOMPARE(face.pixelColor(face.width() / 10, face.height() / 2).name(), pairs[i + 1]);
        }
        const int indicator = window->style()->pixelMetric(QStyle::PM_IndicatorWidth) +
                              window->style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing);
        for (QWidget *w : window->findChildren<QWidget *>()) {
            const QString text = w->property("text").toString();
            const int need =
                w->fontMetrics().size(0, text).width() +
                (w->inherits("QCheckBox") || w->inherits("QRadioButton") ? indicator : 0);
            QVERIFY2(text.isEmpty() || need <= w->width(), qPrintable(text));
        }
        FormDriver(*m_form).click(u"start"_s);
        const QString path = picturePath(m_form->shownRow(), u".gif"_s, defaultPictureFolder());
        const QPixmap shown = FormDriver(*m_form).control<QLabel>(u"obrazek1"_s)->pixmap();
        QCOMPARE(shown.toImage().convertToFormat(QImage::Format_RGB32),
                 QImage(m_form->devicePixelRatio() > 1 ? artwork::doubleSizePath(path) : path)
                     .convertToFormat(QImage::Format_RGB32));
    }

    void selection_data()
    {
        QTest::addColumn<QString>("clicks"); // the last one closes the window
        QTest::addColumn<int>("count");
        QTest::addRow("as loaded") << u"ok"_s << 49;
        QTest::addRow("two off") << u"mt0 vt23 ok"_s << 47;
        QTest::addRow("velké inverts the capitals") << u"Label20 ok"_s << 27;
        QTest::addRow("malé inverts the small forms") << u"Label21 ok"_s << 24;
        QTest::addRow("velké by Tab and Space") << u"⇥Label20 ok"_s << 27;
        QTest::addRow("malé by an assistive tool") << u"♿Label21 ok"_s << 24;
        QTest::addRow("Esc") << u"mt0 Label20 Esc"_s << 49;
        QTest::addRow("closed") << u"mt0 close"_s << 49;
        QTest::addRow("none refused") << u"Label20² Label21² mt3 vt2 ok"_s << -1;
    }

    // Boxes ticked from the flags; "Použít" writes them back, any other close keeps the flags.
    void selection()
    {
        QFETCH(QString, clicks);
        QFETCH(int, count);
        vyber().markUnusedCells();
        for (const auto &[row, column, flag] :
             {std::tuple{4, 1, "n"}, {3, 2, "n"}, {7, 1, "N"}, {26, 2, "x"}, {0, 0, "s"}})
            vyber().setCell(row, column, QLatin1String(flag));
        const QStringList before = vyberCells(vyber());
        Selection w;
        QCOMPARE(w.ticks(), QString(51, u'z').replace(3, 1, u'n').replace(29, 1, u'n'));
        const QString closedBy = clicks.section(u' ', -1);
        w.click(clicks.section(u' ', 0, -2));
        const QString ticks = w.ticks();
        QStringList seen;
        if (count < 0)
            closeModal(&w.form, seen);
        if (closedBy == u"ok"_s)
            w.click(closedBy);
        else
            closedBy == u"Esc"_s ? QTest::keyClick(&w.form, Qt::Key_Escape) : void(w.form.close());
        if (count < 0) // still open, every box written as unticked
            QCOMPARE(seen.mid(0, 2) << w.zbpopis.text() << boxFlags(),
                     (QStringList{u"Kelmora"_s, u"Ke zkoušení je potřeba vybrat alespoň 1 znak."_s,
                                  u"před"_s, QString(51, u'n')}));
        if (count < 0)
            return;
        QVERIFY(!w.form.isVisible());
        QCOMPARE(w.zbpopis.text(), u"Zbývá znaků - %1"_s.arg(count));
        if (closedBy == u"ok"_s)
            QCOMPARE(boxFlags() + vyber().cell(26, 2) + vyber().cell(0, 0), ticks + u"ns"_s);
        else
            QCOMPARE(vyberCells(vyber()), before);
    }

    void failedFile_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("name"); // in a fresh folder; empty: cancelled; ?: Qt's dialog
        QTest::addColumn<QByteArray>("bytes"); // there before
        QTest::addColumn<QString>("reason");   // a pattern of the message's end; ^: of all seen
        QTest::addColumn<QString>("after");    // flags of rows 1 and 6, ticks of mt0 and mt5
        const QString name = u"<b>a.grlist"_s;
        const QByteArray line("m-01-n\r\n");
        const auto add = [](const char *row, const char *button, const QString &name,
                            const QByteArray &bytes, const char *reason, const char *after) {
            QTest::newRow(row) << QString::fromUtf8(button) << name << bytes
                               << QString::fromUtf8(reason) << QString::fromUtf8(after);
        };
        add("row out of range", "loud", name, line + "m-31-z\r\n", "Řádek 2 .*", "n,nz");
        add("NUL byte", "loud", name, line + '\0', "kódování.*", ",zn");
        // A typed name gets the extension when saving, and is taken as typed when loading.
        add("Qt's dialog cancelled", "loud", u"?"_s, {},
            "^Načíst výběr řeckých znaků\\|Seznam řeckých znaků \\(\\*\\.grlist\\)\\|01  Zrušit$",
            ",zn");
        add("Qt's save dialog cancelled", "sejf", u"?"_s, {},
            "^Uložit výběr řeckých znaků\\|.*\\|10 grlist Zrušit$", ",zn");
        add("save cancelled", "sejf", {}, {}, "", ",zn");
        add("no such folder", "sejf", u"none/"_s + name, {},
            "vytvořit: soubor nebo složka neexistuje\\.", "z,nzn");
        add("name too long", "sejf", QString(256, u'a'), {}, "příliš dlouhý\\.", "z,nzn");
    }

    // A Czech message with the file name as it is. A load keeps the lines before a bad one; a
    // cancelled dialog or a refused file changes nothing; a save applies the boxes.
    void failedFile()
    {
        QFETCH(QString, button);
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        QFETCH(QString, after);
        QTemporaryDir dir;
        const QString fileName = name.isEmpty() ? name : dir.filePath(name);
        QFile file(fileName);
        if (!bytes.isNull())
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        file.close();
        Selection w;
        if (name != u"?"_s)
            w.form.setFileChooser([&](auto, auto) { return fileName; });
        w.click(u"mt5"_s);
        QStringList seen;
        if (!reason.isEmpty())
            closeModal(&w.form, seen);
        w.click(button);
        const QString pattern =
            reason.startsWith(u'^') ? reason : u"\n%1\n\n.*"_s + reason + u"\\|0$"_s;
        QVERIFY2(reason.isEmpty()
                     ? seen.isEmpty()
                     : seen.join(u'|').contains(QRegularExpression(pattern.arg(
                           QRegularExpression::escape(QDir::toNativeSeparators(fileName))))),
                 qPrintable(seen.join(u'|')));
        QCOMPARE(vyber().cell(1, 1) + u',' + vyber().cell(6, 1) + w.ticks()[0] + w.ticks()[5],
                 after);
    }

private:
    // The run's controls that show and the options that are enabled.
    static QString controlsShown(const FormDriver &form)
    {
        QString shown;
        for (const char *name : {"start", "setup", "stopka", "enter", "pokracovat", "Option10",
                                 "Option13", "Option20", "Option21"}) {
            const QWidget *control = form.control(QLatin1String(name));
            if (name[0] == 'O' ? control->isEnabled() : !control->isHidden())
                shown += QLatin1String(name) + u' ';
        }
        return shown.trimmed();
    }
    QTranslator m_translator;
    Tabznaku m_catalogue;
    std::unique_ptr<Form1> m_form;
};

QTEST_MAIN(TestWindows)
#include "tst_windows.moc"
