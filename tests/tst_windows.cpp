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

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <QStyle>
#include <QTemporaryDir>
#include <QTimer>
#include <QTranslator>

#include <random>

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
    QLabel zbpopis{u"před"_s};
    Form2 form{&zbpopis};
};

void selectOnly(const QList<int> &rows)
{
    vyber().markUnusedCells();
    for (int row = 1; row <= 51; ++row)
        vyber().setCell(row > 27 ? row - 27 : row, row > 27 ? 2 : 1,
                        rows.contains(row) ? u"z"_s : u"n"_s);
}

} // namespace

// A seeded random walk of both windows, checked after every step against a model of its own.
namespace walk {

// The window's draws, counted: a draw that never ends stops the walk at once.
struct CountingRandom : SeededRandom {
    using SeededRandom::SeededRandom;
    double next() override
    {
        if (++calls > 1000000)
            qFatal("runaway draw; seed %llu, steps: %s", seed, qPrintable(trail->join(u" | "_s)));
        return SeededRandom::next();
    }
    long calls = 0;
    quint64 seed = 0;
    const QStringList *trail = nullptr;
};

// What the main window shows, read from its controls only.
struct State {
    QString content, chrome, score, verdict, text, vema, message, zbpopis, modal;
    QString flags, ticks; // rows 1..27 of columns 1 and 2, and the boxes of "Nastavení" if open
    QWidget *page = nullptr, *focus = nullptr;
    int height = 0, shown = 0; // the row of the typed-name picture
    bool run = false, pictures = false, pokracovat = false, lettering = true;
    std::array<int, 21> board{}; // the row in each visible box, 0 empty, -1 hidden
    bool answering() const { return board[1] >= 0 && board[2] >= 0; }
};

// Typed answers compared as the program promises: case, diacritics and outer spaces aside.
QString plain(QString text)
{
    text = text.remove(QRegularExpression(u"^ +| +$"_s)).normalized(QString::NormalizationForm_D);
    return text.remove(QRegularExpression(u"\\p{Mn}"_s)).toLower();
}

// Steps are "<kind><file>:<argument>": c click, d double-click at "x,y"; k a key; t typed text;
// a "object:action" of an assistive tool; x closing the window. Upper case goes to the modal
// window on top. <file> is what a file chooser opened by the step answers.
class Walk
{
public:
    Walk(quint64 seed, const QStringList &script, int length)
        : m_script(script)
        , m_length(script.isEmpty() ? length : script.size())
        , m_rng(seed)
    {
        fillCatalogue(m_catalogue, m_koncovky);
        vyber().clear();
        if (seed % 3) // a few characters, for runs that end
            selectOnly({int(seed % 51) + 1, int(seed * 7 % 51) + 1});
        // List 1 selects small beta and gamma (by "N") and capital alfa, and marks a cell of no
        // character; list 2 selects none; list 3 selects alfa before its bad second line; there
        // is no list 4.
        const QString one = u"nzN"_s + QString(24, u'n') + u'z' + QString(23, u'n') + u'x';
        for (const auto &[name, flags, bad] : {std::tuple{u"1"_s, one, ""},
                                               {u"2"_s, QString(51, u'n'), ""},
                                               {u"3"_s, u"z"_s, "m-31-z\r\n"}}) {
            QFile list(m_dir.filePath(name));
            list.open(QIODevice::WriteOnly);
            for (int i = 0; i < flags.size(); ++i)
                list.write(QString::asprintf("%c-%02d-%c\r\n", "mv"[i / 27], i % 27 + 1,
                                             flags[i].toLatin1())
                               .toLatin1());
            list.write(bad);
            m_files[name] = QString(flags).replace(u'N', u'z').replace(u'x', u'z') +
                            QString(54 - flags.size(), u'?');
        }
        auto random = std::make_unique<CountingRandom>(seed);
        m_random = random.get();
        std::tie(m_random->seed, m_random->trail) = std::tuple(seed, &taken);
        m_form = std::make_unique<Form1>(std::move(random));
        m_form->show();
        m_failure = QTest::qWaitForWindowExposed(m_form.get()) ? QString() : u"not shown"_s;
    }

    // Empty when every step kept every invariant; else what broke.
    QString run()
    {
        QTimer::singleShot(0, [this] { next(); });
        m_loop.exec();
        return m_failure;
    }
    QStringList taken;

private:
    FormDriver form() const { return FormDriver(*m_form); }
    template <typename T = QWidget> T *control(const char *name) const
    {
        return form().control<T>(QLatin1String(name));
    }
    int slotOf(const QWidget *w) const // board boxes are named by their slot
    {
        return w && w->parentWidget() == control("obrazek") ? w->objectName().mid(7).toInt() : -1;
    }
    QList<QWidget *> widgets(QWidget *window) const
    {
        QList<QWidget *> all;
        for (QWidget *w : window->findChildren<QWidget *>())
            w->window() == window ? all << w : all;
        return all;
    }
    static QString flags()
    {
        QString flags;
        for (int i = 0; i < 54; ++i)
            flags += vyber().cell(i % 27 + 1, 1 + i / 27) == u"n"_s ? u'n' : u'z';
        return flags;
    }
    static QString boxName(int i) // the box of row i + 1
    {
        return u"%1t%2"_s.arg(QChar(i < 27 ? u'm' : u'v')).arg(i % 27);
    }
    static QString flagsCount() { return u"Zbývá znaků - %1"_s.arg(flags().left(51).count(u'z')); }

    // The row of a picture, by the test's own load of znaky/ (plus 100 for handwriting).
    int rowOf(const QPixmap &pixmap)
    {
        if (pixmap.isNull() || m_rows.contains(pixmap.cacheKey()))
            return pixmap.isNull() ? 0 : m_rows[pixmap.cacheKey()];
        const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
        for (int i = 0; i < 102; ++i) {
            const int row = i % 51 + 1;
            const QString path = QString::asprintf("/znaky/%c%02d.%s", "mv"[row / 28],
                                                   row - row / 28 * 27, i < 51 ? "gif" : "jpg");
            if (QImage(QCoreApplication::applicationDirPath() + path)
                    .convertToFormat(QImage::Format_ARGB32) == image)
                return m_rows[pixmap.cacheKey()] = row + i / 51 * 100;
        }
        return m_rows[pixmap.cacheKey()] = -2;
    }

    State state()
    {
        State s;
        const auto picture = [&](const QPixmap &p) {
            const int row = rowOf(p);
            s.lettering =
                s.lettering &&
                (row == 0 || (row > 100) == control<QRadioButton>("Option21")->isChecked());
            return row % 100;
        };
        for (QWidget *w : widgets(m_form.get())) {
            QString line = w->objectName() + (w->isHidden() ? u'-' : u'+');
            if (auto *l = qobject_cast<QLabel *>(w))
                line += l->text() +
                        QString::number(l->pixmap().isNull() ? 0 : l->pixmap().cacheKey()) +
                        l->palette().color(QPalette::Active, QPalette::WindowText).name();
            if (auto *e = qobject_cast<QLineEdit *>(w))
                line += e->text();
            if (auto *b = qobject_cast<QAbstractButton *>(w))
                line += QString::number(b->isChecked());
            (w->objectName().startsWith(u"hlppic"_s) ? s.chrome : s.content) +=
                w->objectName() == u"zbpopis"_s ? QString() : line + u' ';
            s.chrome += QString::number(w->isEnabled());
            if (line.startsWith(u"hlppic"_s) && w->isVisible())
                s.page = w;
        }
        QWidget *modal = QApplication::activeModalWidget();
        auto *box = qobject_cast<QMessageBox *>(modal);
        s.modal = modal ? modal->windowTitle() + u'.' + (box ? box->text() : QString()) : QString();
        s.height = m_form->frameGeometry().height();
        s.focus = m_form->focusWidget();
        s.run = control("start")->isHidden();
        s.pictures = control<QRadioButton>("Option13")->isChecked();
        s.pokracovat = control("pokracovat")->isVisible();
        s.score = form().score();
        std::tie(s.verdict, s.vema, s.message, s.zbpopis) =
            std::tuple(control<QLabel>("truefalse")->text(), control<QLabel>("vema")->text(),
                       control<QLabel>("message")->text(), control<QLabel>("zbpopis")->text());
        s.text = control<QLineEdit>("zadano")->text();
        s.flags = flags();
        for (int i = 0; m_form2 && m_form2->isVisible() && i < 51; ++i)
            s.ticks += m_form2->findChild<QCheckBox *>(boxName(i))->isChecked() ? u'z' : u'n';
        s.shown = picture(control<QLabel>("obrazek1")->pixmap());
        for (int i = 0; i < kSlots; ++i) {
            const bool shows =
                control("obrazek") && control("obrazek")->isVisible() && !form().box(i)->isHidden();
            s.board[i] = shows ? picture(form().box(i)->pixmap()) : -1;
        }
        return s;
    }

    QString nameLines(int row) const // its accepted names, a line each
    {
        return QString(m_catalogue.names[row]).replace(u';', u"\r\n"_s);
    }

    // The character a picture question names: its names and phrase, the board telling a small
    // form from its variant.
    int sought(const State &s) const
    {
        for (int row = 1; row <= 51; ++row) {
            if (nameLines(row) == s.message &&
                s.vema.startsWith(row <= 27 ? u"mal"_s : u"velk"_s) &&
                std::count(s.board.begin(), s.board.end(), row))
                return row;
        }
        return 0;
    }

    QString pick()
    {
        QWidget *modal = QApplication::activeModalWidget();
        const bool toModal = modal && m_rng() % 10;
        QWidget *window = toModal ? modal : m_form.get();
        const QList<QWidget *> all = widgets(window);
        const State s = state();
        const int r = m_rng() % 100, file = m_rng() % 5;
        QString step = u"k%1:Escape"_s.arg(file);
        if (r < 45) { // a point in a control, hidden ones included; often the right picture
            QWidget *target = all[m_rng() % all.size()];
            for (int i = 0, right = !toModal && s.run && m_rng() % 3 == 0; right && i < kSlots; ++i)
                target = s.board[i] > 0 && s.board[i] == sought(s) ? form().box(i) : target;
            const QPoint at = target->mapTo(window, QPoint(m_rng() % qMax(1, target->width()),
                                                           m_rng() % qMax(1, target->height())));
            step = u"%1%2:%3,%4"_s.arg(QChar(m_rng() % 10 ? u'c' : u'd'))
                       .arg(file)
                       .arg(qBound(0, at.x(), window->width() - 1))
                       .arg(qBound(0, at.y(), window->height() - 1));
        } else if (r < 65) {
            static const QStringList keys =
                u"Tab Shift+Tab Left Right Up Down Space Return Escape Backspace"_s.split(u' ');
            step = u"k%1:"_s.arg(file) + keys[m_rng() % keys.size()];
        } else if (r < 80) { // a letter, or the right name
            static const QString letters = u"abdegiklmnoprstuxyzáéíóúůýčěřšž"_s;
            step = u"t%1:"_s.arg(file) + (!toModal && s.shown && m_rng() % 2
                                              ? m_catalogue.names[s.shown].section(u';', 0, 0)
                                              : QString(letters[m_rng() % letters.size()]));
        } else if (r < 95) {
            QStringList actions;
            for (QWidget *w : all) {
                QAccessibleInterface *i = QAccessible::queryAccessibleInterface(w);
                for (const QString &a : i && i->actionInterface() && !w->objectName().isEmpty()
                                            ? i->actionInterface()->actionNames()
                                            : QStringList())
                    actions << w->objectName() + u':' + a;
            }
            step =
                actions.isEmpty() ? step : u"a%1:"_s.arg(file) + actions[m_rng() % actions.size()];
        } else if (toModal) {
            step = u"x%1:"_s.arg(file);
        }
        return toModal ? step[0].toUpper() + step.mid(1) : step;
    }

    // The window a step goes to, the widget it reaches, and whether a user could reach it now.
    std::tuple<QWidget *, QWidget *, bool> target(const QString &step) const
    {
        QWidget *modal = QApplication::activeModalWidget();
        QWidget *window = step[0].isUpper() || step[0] == u'x' ? modal : m_form.get();
        const QStringList xy = step.mid(3).split(u',');
        if (!window)
            return {};
        if (step[0].toLower() == u'a') {
            QWidget *w = window->findChild<QWidget *>(step.mid(3).section(u':', 0, 0));
            return {window, w, w && FormDriver::shownAt(w)};
        }
        QWidget *w = QString(u"cd"_s).contains(step[0].toLower())
                         ? window->childAt(xy[0].toInt(), xy.value(1).toInt())
                         : window->focusWidget();
        return {window, w, (!modal || window == modal) && (!w || w->isEnabled())};
    }

    void perform(const QString &step)
    {
        const auto [window, w, reachable] = target(step);
        const QChar kind = step[0].toLower();
        const QString arg = step.mid(3);
        const QStringList xy = arg.split(u',');
        QWindow *handle = window ? window->windowHandle() : nullptr;
        if (!handle)
            return;
        if (kind == u'c' || kind == u'd') {
            const QPoint at(xy[0].toInt(), xy.value(1).toInt());
            kind == u'c' ? QTest::mouseClick(handle, Qt::LeftButton, {}, at)
                         : QTest::mouseDClick(handle, Qt::LeftButton, {}, at);
        } else if (kind == u'k') {
            const QKeyCombination key = QKeySequence(arg)[0];
            QTest::keyClick(handle, key.key(), key.keyboardModifiers());
        } else if (kind == u't') {
            for (const QChar c : arg)
                QTest::sendKeyEvent(QTest::Click, handle, Qt::Key_unknown, QString(c), {});
        } else if (kind == u'a' && w) {
            QAccessible::queryAccessibleInterface(w)->actionInterface()->doAction(
                arg.section(u':', 1));
        } else if (kind == u'x') {
            window->close();
        }
    }

    void next()
    {
        if (!m_failure.isEmpty() || taken.size() >= m_length)
            return finish();
        taken << (m_script.isEmpty() ? pick() : m_script[taken.size()]);
        m_before = state();
        std::tie(std::ignore, m_target, m_reachable) = target(taken.last());
        m_random->calls = 0;
        m_chosen.clear();
        m_applied = m_opened = false;
        m_modalBefore = QApplication::activeModalWidget();
        m_settle = taken.last()[0].toLower() == u'a'; // an assistive press clicks a moment later
        QTimer::singleShot(0, [this] { after(); });
        m_performing = true;
        perform(taken.last());
        m_performing = false;
    }

    void after()
    {
        // Checked once the step is done, or blocks in a modal window it opened.
        const QWidgetList all = QApplication::allWidgets();
        const bool down = std::any_of(all.begin(), all.end(), [](QWidget *w) {
            auto *b = qobject_cast<QAbstractButton *>(w);
            return b && b->isDown();
        });
        if (down || std::exchange(m_settle, false) ||
            (m_performing && QApplication::activeModalWidget() == m_modalBefore))
            return QTimer::singleShot(down ? 5 : 0, [this] { after(); });
        // As a window manager does, the main window is active again once no modal one is open.
        if (!QApplication::activeModalWidget())
            m_form->activateWindow();
        if (auto *f = qobject_cast<Form2 *>(QApplication::activeModalWidget()); f && f != m_form2) {
            m_form2 = f;
            m_saved = false;
            m_opened = true;
            f->setFileChooser([this](QFileDialog::AcceptMode mode, const QString &) {
                m_chosen =
                    QChar(mode == QFileDialog::AcceptSave ? u's' : u'o') + taken.last().mid(1, 1);
                return m_chosen.endsWith(u'0') ? QString() : m_dir.filePath(m_chosen.mid(1));
            });
            QObject::connect(f, &QDialog::accepted, [this] { m_applied = true; });
            // Every box, both headings and the three buttons are keyboard stops.
            int stops = 0;
            for (QWidget *w = f->nextInFocusChain(); w != f; w = w->nextInFocusChain())
                stops += bool(w->focusPolicy() & Qt::TabFocus);
            if (stops != 56)
                m_failure = u"keyboard stops in Nastavení: %1"_s.arg(stops);
        }
        m_failure = m_failure.isEmpty() ? check(m_before, state(), taken.last()) : m_failure;
        QTimer::singleShot(0, [this] { next(); });
    }

    void finish()
    {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            modal->close();
            return QTimer::singleShot(0, [this] { finish(); });
        }
        m_loop.quit();
    }

    QString check(const State &b, const State &a, const QString &step)
    {
        const QString name = m_target ? m_target->objectName() : QString();
        const bool same = a.content == b.content && a.chrome == b.chrome;
        if (!m_reachable && (!same || a.zbpopis != b.zbpopis))
            return u"an unreachable control acted: "_s + name;
        if (!b.modal.isEmpty() && !same)
            return u"changed behind a modal window: "_s + name;
        if (b.page && a.content != b.content)
            return u"changed under the help page: "_s + name;
        if (a.height != (a.page || a.pictures ? 8145 : 3165) / 15)
            return u"height: %1"_s.arg(a.height);
        for (const QPoint p :
             {QPoint(10, 10), QPoint(317, 250), QPoint(620, 500), QPoint(10, 500)}) {
            if (a.page && m_form->childAt(p) != a.page)
                return u"help page under another control"_s;
        }
        if (!a.lettering)
            return u"a picture in the other lettering"_s;
        const int from = slotOf(b.focus), to = slotOf(a.focus);
        if (a.modal.isEmpty() && a.focus &&
            (!a.focus->isVisible() || !a.focus->isEnabled() || (to >= 0 && a.board[to] == 0)))
            return u"focus on a hidden, disabled or empty control: "_s + a.focus->objectName();
        if (const QString failure = checkSelection(b, a); !failure.isEmpty())
            return failure;
        // Closing "Nastavení" unsaved, or switching the direction, counts the flags afresh.
        if (((b.modal == u"Nastavení."_s && a.modal.isEmpty() && !m_saved) ||
             b.pictures != a.pictures) &&
            a.zbpopis != flagsCount())
            return u"count: "_s + a.zbpopis;
        // The board is one keyboard stop; its arrows move along rows and columns, inside it.
        const QString key = step[0] == u'k' ? step.mid(3) : QString();
        if (from >= 0 && key.endsWith(u"Tab"_s) && to >= 0)
            return u"Tab stays on the board"_s;
        const QPoint d(int(key == u"Right"_s) - int(key == u"Left"_s),
                       int(key == u"Down"_s) - int(key == u"Up"_s));
        int expected = from;
        for (int x = from % 7 + d.x(), y = from / 7 + d.y();
             from >= 0 && !d.isNull() && expected == from && x >= 0 && x < 7 && y >= 0 && y < 3;
             x += d.x(), y += d.y())
            expected = b.board[y * 7 + x] > 0 ? y * 7 + x : from;
        if (from >= 0 && !d.isNull() && to != expected)
            return u"arrow %1 from box %2 to %3"_s.arg(key).arg(from).arg(to);
        return checkRun(b, a, step);
    }

    // The flags change by "Použít", a save or a load alone; the boxes show the flags on opening
    // and after a load, and a step changes only the box or the column it presses.
    QString checkSelection(const State &b, const State &a)
    {
        const QString file = m_chosen.mid(1), list = m_files.value(file);
        const bool saved = m_chosen.startsWith(u's') && file != u"0"_s;
        // "Použít" closes the window, or says that no box is ticked.
        const QString none = u"Kelmora.Ke zkoušení je potřeba vybrat alespoň 1 znak."_s;
        const bool applied = m_applied || (a.modal == none && b.modal != none);
        QString flags = applied || saved ? b.ticks + u"nnn"_s : b.flags, ticks = b.ticks;
        if (saved)
            std::tie(m_saved, m_files[file]) = std::tuple(true, flags);
        for (int i = 0; m_chosen.startsWith(u'o') && i < list.size(); ++i)
            flags[i] = list[i] == u'?' ? flags[i] : list[i];
        ticks = m_chosen.startsWith(u'o') && !list.isEmpty() ? flags.left(51) : ticks;
        if (a.flags != flags)
            return u"flags: "_s + a.flags;
        if (m_opened && a.ticks != a.flags.left(51))
            return u"boxes on opening: "_s + a.ticks;
        if (applied && !b.ticks.contains(u'z') && a.modal != none)
            return u"no box ticked, yet: "_s + a.modal;
        if (m_opened || b.ticks.isEmpty() || a.ticks.isEmpty())
            return {};
        const QString name = m_reachable && m_target ? m_target->objectName() : QString();
        QString box = ticks, column = ticks; // the box pressed, or its column inverted
        const auto flip = [](QChar &tick) { tick = tick == u'z' ? u'n' : u'z'; };
        for (int i = 0; i < 51; ++i) {
            if (name == boxName(i))
                flip(box[i]);
            if (name == (i < 27 ? u"Label21"_s : u"Label20"_s))
                flip(column[i]);
        }
        return a.ticks == ticks || a.ticks == box || a.ticks == column ? QString()
                                                                       : u"boxes: "_s + a.ticks;
    }

    QString checkRun(const State &b, const State &a, const QString &step)
    {
        const bool ended = a.verdict == u"HOTOVO"_s && b.verdict != u"HOTOVO"_s;
        QWidget *start = control("start");
        QWidget *tab = a.focus ? a.focus->nextInFocusChain() : nullptr;
        while (tab && !(tab->focusPolicy() & Qt::TabFocus && tab->isVisible() && tab->isEnabled()))
            tab = tab->nextInFocusChain();
        if (ended && a.pictures && (!a.focus || a.focus == start || tab != start))
            return u"focus after HOTOVO"_s;
        QString locks; // locked during a run, free after it
        for (const char *name : {"start", "setup", "stopka", "Option10", "Option13", "Option20"})
            locks += QString::number(name[0] == 'O' ? control(name)->isEnabled()
                                                    : !control(name)->isHidden());
        if (!a.page && locks != (a.run ? u"001000"_s : u"110111"_s))
            return u"controls during a run: "_s + locks;
        if (ended &&
            (a.message + a.vema + (a.pictures ? QString() : a.text) != QString() || a.shown ||
             std::count(a.board.begin(), a.board.end(), 0) != (a.pictures ? 21 : 0)))
            return u"a finished run leaves its question"_s;
        if (!control("enter")->isHidden() && (a.text.isEmpty() || a.pictures))
            return u"Enter with no answer typed"_s;
        const bool verdict = a.verdict != b.verdict &&
                             a.verdict.contains(QRegularExpression(u"^(Správně|ŠPATNĚ)$"_s));
        if (!b.run && verdict && (b.pictures || b.verdict == u"HOTOVO"_s))
            return u"a verdict with no question"_s;
        if (!b.modal.isEmpty() || b.page)
            return {};
        if (!b.run && (a.run || ended)) { // START
            resetModel();
            return a.score == m_model.score() ? asked(a) : u"START shows "_s + a.score;
        }
        if (b.run && !a.run && !ended) { // STOP
            resetModel();
            return a.score == m_model.score() ? QString() : u"STOP shows "_s + a.score;
        }
        if (!b.run)
            return {};
        const bool pressed =
            m_reachable && m_target &&
            (QString(u"cda"_s).contains(step[0]) || key(step, "Space") || key(step, "Return"));
        int verdicts = 0;
        bool right = false;
        if (!b.pictures && b.verdict != u"HOTOVO"_s) {
            verdicts = (pressed && m_target == control("enter") && step[0] != u'k') ||
                       (m_target == control("zadano") && key(step, "Return") && !b.pokracovat);
            const QStringList names = m_catalogue.names[b.shown].split(u';');
            right = !plain(b.text).isEmpty() &&
                    std::any_of(names.begin(), names.end(),
                                [&](const QString &n) { return plain(n) == plain(b.text); });
        } else if (b.pictures && b.answering() && pressed && slotOf(m_target) >= 0) {
            verdicts = 1;
            right = b.board[slotOf(m_target)] == sought(b);
            for (int i = 0; i < kSlots; ++i) {
                if ((a.board[i] >= 0) != (a.board[i] == sought(b)) && a.run)
                    return u"board after the answer: box %1"_s.arg(i);
            }
        }
        const bool continued =
            b.pictures ? (!b.answering() && (a.answering() || ended))
                       : ((b.pokracovat || verdicts) && !a.pokracovat && (a.run || ended));
        if (verdicts) {
            m_model.judge(b.pictures ? sought(b) : b.shown, right);
            const QString colour =
                control("truefalse")->palette().color(QPalette::WindowText).name();
            if (!continued &&
                a.verdict + colour != (right ? u"Správně#008000"_s : u"ŠPATNĚ#ff0000"_s))
                return u"verdict %1 for %2"_s.arg(a.verdict, b.text);
            if (!continued && !b.pictures && !right && a.message != nameLines(b.shown))
                return u"names after a wrong answer: "_s + a.message;
            if (!continued && b.pictures &&
                (slotOf(a.focus) < 0 || a.board[slotOf(a.focus)] != sought(b)))
                return u"the focus leaves the remaining picture"_s;
        } else if (verdict) {
            return u"a verdict nobody asked for"_s;
        }
        if (!continued)
            return a.score == b.score ? QString() : u"score changed: "_s + a.score;
        if (a.score != m_model.score())
            return u"score %1, expected %2"_s.arg(a.score, m_model.score());
        return m_model.over() == ended ? asked(a) : u"run over: %1"_s.arg(ended);
    }
    static bool key(const QString &step, const char *name)
    {
        return step[0] == u'k' && step.mid(3) == QLatin1String(name);
    }
    void resetModel()
    {
        m_model = {};
        const QString selected = flags();
        for (int row = 1; row <= 51; ++row)
            selected[row - 1] == u'z' ? void(m_model.marks[row] = 0) : void();
    }
    // The character now asked may be drawn: in the run, pending or at B..E. Its board holds 21
    // characters, it not in the last box, nor its other form, nor omega but as the one asked.
    QString asked(const State &a)
    {
        const int row = a.pictures ? sought(a) : a.shown;
        static const QMap<int, int> partners{{8, 26},  {26, 8},  {10, 27}, {27, 10},
                                             {18, 25}, {25, 18}, {23, 50}, {50, 23}};
        const QSet<int> board(a.board.begin(), a.board.end());
        if (a.pictures && a.run &&
            (board.size() != 21 || board.contains(0) || a.board[20] == row ||
             board.contains(partners.value(row)) || (row != 51 && board.contains(51))))
            return u"board for row %1"_s.arg(row);
        if (a.run && a.focus != (a.pictures ? form().box(0) : control("zadano")))
            return u"a new question without the focus"_s;
        return !a.run || m_model.marks.value(row, 1) != 1 ? QString() : u"asked row %1"_s.arg(row);
    }

    QStringList m_script;
    int m_length;
    std::mt19937 m_rng;
    QTemporaryDir m_dir;
    Tabznaku m_catalogue;
    std::array<QString, 28> m_koncovky;
    std::unique_ptr<Form1> m_form;
    CountingRandom *m_random = nullptr;
    QEventLoop m_loop;
    QString m_failure;
    State m_before;
    QPointer<QWidget> m_target, m_modalBefore;
    QPointer<Form2> m_form2;
    bool m_reachable = true, m_performing = false, m_saved = false, m_settle = false,
         m_applied = false, m_opened = false;
    QString m_chosen;                // "o" or "s" and the list file given to the dialog this step
    QHash<QString, QString> m_files; // each list file's flags, "?" for a line it lacks
    AnswerKey m_model;
    QHash<qint64, int> m_rows;
};

// The shortest list of steps found that still breaks the same invariant.
QStringList shrink(quint64 seed, QStringList steps, const QString &failure)
{
    for (int chunk = int(steps.size()) / 2; chunk >= 1; chunk /= 2) {
        for (int i = 0; i + chunk <= steps.size();) {
            QStringList candidate = steps;
            candidate.remove(i, chunk);
            Walk walk(seed, candidate, 0);
            if (walk.run().section(u':', 0, 0) == failure.section(u':', 0, 0))
                steps = walk.taken;
            else
                i += chunk;
        }
    }
    return steps;
}

} // namespace walk

class TestWindows : public QObject
{
    Q_OBJECT

private slots:
    // As the program starts: its look and Qt's Czech catalogue.
    void initTestCase() { prepareApplication(m_translator); }
    void init() { vyber().clear(); }
    void cleanup() { m_form.reset(); }

    void walk_data()
    {
        QTest::addColumn<quint64>("seed");  // of the first walk
        QTest::addColumn<QString>("steps"); // a walk to replay; none: walks of random steps
        QTest::addRow("random") << quint64(1) << QString();
        const auto replay = [](const char *fault, quint64 seed, const char *steps) {
            QTest::newRow(fault) << seed << QString::fromUtf8(steps);
        };
        replay("help page under the board", 2,
               "c3:545,25 | c2:46,59 | c2:614,35 | k0:Down | a3:help:Press");
        replay("help behind Nastavení", 3, "c0:77,127 | a3:help:Press");
        replay("START behind Nastavení", 3, "c0:77,127 | a0:start:Press");
        replay("hidden second help page", 1, "a2:help:Press | a2:hlppic2:Press");
        replay("hidden board picture", 12,
               "k1:Down | a0:Option10:SetFocus | k3:Space | c3:80,176 | a3:obrazek3:Press");
        replay("hidden START", 15, "d0:8,187 | a2:start:Press");
        replay("hidden Pokračovat", 18, "a1:pokracovat:Press");
        replay("Tab onto empty pictures", 7, "a3:Option13:Toggle | k3:Shift+Tab | k0:Escape");
        replay("Shift+Tab stays on the board", 1, "k0:Left | a1:start:Press | k3:Shift+Tab");
        replay("double-click closing help presses START", 71, "c0:628,21 | d2:597,13 | d3:86,179");
        replay("arrows leave the board", 13,
               "k3:Left | c0:49,97 | k0:Tab | k3:Tab | k1:Space | k0:Left");
    }

    // Random walks of both windows, or one replayed; a failing one is shrunk and printed as a row
    // to replay. KELMORA_WALK_STEPS sets the number of random steps in all.
    void walk()
    {
        QFETCH(quint64, seed);
        QFETCH(QString, steps);
        const QStringList script = steps.split(u" | "_s, Qt::SkipEmptyParts);
        const int length =
            script.isEmpty() ? qEnvironmentVariableIntValue("KELMORA_WALK_STEPS") : 1;
        for (int done = 0; done < (length ? length : 40000); ++seed) {
            walk::Walk walk(seed, script, 300);
            const QString failure = walk.run();
            done += int(walk.taken.size());
            if (!failure.isEmpty()) {
                qWarning("%s; seed %llu, shrinking: %s", qPrintable(failure), seed,
                         qPrintable(walk.taken.join(u" | "_s)));
                const auto shortest = walk::shrink(seed, walk.taken, failure);
                QFAIL(qPrintable(u"%1 after %2 steps; seed %3, shrunk to:\n%4"_s.arg(failure)
                                     .arg(walk.taken.size())
                                     .arg(seed)
                                     .arg(shortest.join(u" | "_s))));
            }
        }
    }

    // The picture-choice layout and help stay on the screen; help puts the window and the focus
    // back. Pictures missing leave their boxes empty.
    void placement()
    {
        QTemporaryDir none;
        QVERIFY(showForm(m_form, std::make_unique<SeededRandom>(3), none.path()));
        FormDriver form(*m_form);
        const int fitTop = (m_form->screen()->geometry().height() * 15 - 500 - 8145) / 15;
        m_form->move(100, fitTop + 20);
        QTRY_COMPARE(m_form->frameGeometry().top(), fitTop + 20);
        const QRect before = m_form->frameGeometry();
        form.control(u"start"_s)->setFocus();
        QVERIFY(form.click(u"help"_s));
        QTRY_COMPARE(m_form->frameGeometry().top(), fitTop);
        QVERIFY(form.click(u"hlppic1"_s) && form.click(u"hlppic2"_s));
        QTRY_COMPARE(m_form->frameGeometry(), before);
        QCOMPARE(m_form->focusWidget(), form.control(u"start"_s));
        QVERIFY(form.click(u"Option13"_s));
        QTRY_COMPARE(m_form->frameGeometry().top(), fitTop);
        QVERIFY(form.click(u"start"_s) && form.box(0)->pixmap().isNull() &&
                form.control(u"stopka"_s)->isVisible());
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
        useKelmoraLook();
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
        selectOnly({28});
        selection.form.hide();
        QVERIFY(FormDriver(*m_form).click(u"start"_s));
        const QString path = QCoreApplication::applicationDirPath() + u"/znaky/v01.gif"_s;
        const QPixmap shown = FormDriver(*m_form).control<QLabel>(u"obrazek1"_s)->pixmap();
        QCOMPARE(shown.toImage().convertToFormat(QImage::Format_RGB32),
                 QImage(m_form->devicePixelRatio() > 1 ? artwork::doubleSizePath(path) : path)
                     .convertToFormat(QImage::Format_RGB32));
    }

    void failedFile_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("name");     // in a fresh folder; ?: Qt's dialog, cancelled
        QTest::addColumn<QByteArray>("bytes"); // there before
        QTest::addColumn<QString>("reason");   // a pattern of the message's end; ^: of all seen
        const QString name = u"<b>a.grlist"_s;
        const auto add = [](const char *row, const char *button, const QString &name,
                            const QByteArray &bytes, const char *reason) {
            QTest::newRow(row) << QString::fromUtf8(button) << name << bytes
                               << QString::fromUtf8(reason);
        };
        add("row out of range", "loud", name, "m-01-n\r\nm-31-z\r\n", "Řádek 2 .*");
        // A typed name gets the extension when saving, and is taken as typed when loading.
        add("Qt's dialog", "loud", u"?"_s, {},
            "^Načíst výběr řeckých znaků\\|Seznam řeckých znaků \\(\\*\\.grlist\\)\\|01  Zrušit$");
        add("Qt's save dialog", "sejf", u"?"_s, {},
            "^Uložit výběr řeckých znaků\\|.*\\|10 grlist Zrušit$");
        add("no such folder", "sejf", u"none/"_s + name, {},
            "vytvořit: soubor nebo složka neexistuje\\.");
        add("name too long", "sejf", QString(256, u'a'), {}, "příliš dlouhý\\.");
    }

    // Qt's file dialogs in Czech, and a failure told with the file name as it is.
    void failedFile()
    {
        QFETCH(QString, button);
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QString fileName = dir.filePath(name);
        QFile file(fileName);
        QVERIFY(bytes.isNull() || (file.open(QIODevice::WriteOnly) && file.write(bytes)));
        file.close();
        Selection w;
        if (name != u"?"_s)
            w.form.setFileChooser([&](auto, auto) { return fileName; });
        QStringList seen;
        closeModal(&w.form, seen);
        QVERIFY(FormDriver::press(w.form.findChild<QWidget *>(button)));
        const QString path = QRegularExpression::escape(QDir::toNativeSeparators(fileName));
        const QString pattern =
            reason.startsWith(u'^') ? reason : u"\n%1\n\n.*%2\\|0$"_s.arg(path, reason);
        QVERIFY2(seen.join(u'|').contains(QRegularExpression(pattern)),
                 qPrintable(seen.join(u'|')));
    }

private:
    QTranslator m_translator;
    std::unique_ptr<Form1> m_form;
};

QTEST_MAIN(TestWindows)
#include "tst_windows.moc"
