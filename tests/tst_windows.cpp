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
#include <QStandardPaths>
#include <QStyle>
#include <QTemporaryDir>
#include <QTimer>
#include <QTranslator>
#include <QTreeView>
#include <QDialogButtonBox>
#include <QPushButton>

#include <random>

using namespace kelmora;

namespace {

// Answers each modal window that opens above `below` as a user does, noting what it shows and a
// font family other than that of `below`: Escape closes a message box; a file dialog is taken to
// `folder` and, once it lists it, given `typed` the first time, else cancelled.
void closeModal(QWidget *below, QStringList &seen, const QString &folder = {},
                const QString &typed = {}, int tries = 300)
{
    QTimer::singleShot(10, below, [=, &seen] { // the timer goes with `below`
        QWidget *modal = QApplication::activeModalWidget();
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        const auto enter = [modal, dialog](const QString &text) {
            auto *edit = modal->findChild<QLineEdit *>(u"fileNameEdit"_s);
            QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
            QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, text, {});
            if (QWidget *offered = QApplication::activePopupWidget()) // the names offered
                QTest::keyClick(offered, Qt::Key_Escape);
            FormDriver::press(dialog->findChild<QDialogButtonBox *>()->button(
                dialog->acceptMode() ? QDialogButtonBox::Save : QDialogButtonBox::Open));
        };
        const QAbstractItemView *view = dialog ? dialog->findChild<QTreeView *>() : nullptr;
        QStringList listing; // a line per entry shown: name, size, type
        for (int row = 0; view && row < view->model()->rowCount(view->rootIndex()); ++row) {
            QStringList line;
            for (int column = 0; column < 3; ++column)
                line << view->model()->index(row, column, view->rootIndex()).data().toString();
            line[0].isEmpty() ? void() : void(listing << line.join(u' '));
        }
        const bool away = dialog && dialog->directory() != QDir(folder);
        if (away)
            enter(folder);
        if (!modal || modal == below || away ||
            (dialog && listing.size() < int(QDir(folder).count() - 2)))
            return tries > 0 ? closeModal(below, seen, folder, typed, tries - 1) : void();
        seen << modal->windowTitle();
        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            seen << box->text() << QString::number(box->textFormat());
            QTest::keyClick(box, Qt::Key_Escape);
        } else {
            seen << dialog->nameFilters().join(u' ') << dialog->labelText(QFileDialog::Reject);
            listing.sort();
            seen << listing;
            typed.isEmpty() ? dialog->reject() : enter(typed);
        }
        if (modal->fontInfo().family() != below->fontInfo().family())
            seen << modal->fontInfo().family();
        closeModal(below, seen, folder, dialog ? QString() : typed);
    });
}

} // namespace

// A seeded random walk of both windows, checked after every step against a model of its own.
namespace walk {

// What the main window shows, read from its controls only.
struct State {
    QString content, chrome, score, verdict, text, vema, message, zbpopis, modal;
    QString flags, ticks; // rows 1..27 of columns 1 and 2, and the boxes of "Nastavení" if open
    QWidget *page = nullptr, *focus = nullptr;
    int height = 0, shown = 0, top = 0; // the row of the typed-name picture
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
    Walk(quint64 seed, const QStringList &script)
        : m_script(script)
        , m_length(script.isEmpty() ? 300 : script.size())
        , m_rng(seed)
    {
        fillCatalogue(m_catalogue, m_koncovky);
        vyber().clear();
        for (quint64 i = 0; seed % 3 && i < 54; ++i) // a few characters, for runs that end
            vyber().setCell(i % 27 + 1, 1 + i / 27,
                            i == seed % 51 || i == seed * 7 % 51 ? u"z"_s : u"n"_s);
        // List 1 selects small beta and gamma (by "N") and capital alfa, and marks a cell of no
        // character; list 2 selects none; list "3. lekce" selects alfa before its bad second line;
        // there is no list 4.
        const QString one = u"nzN"_s + QString(24, u'n') + u'z' + QString(23, u'n') + u'x';
        for (const auto &[name, flags, bad] : {std::tuple{u"1"_s, one, ""},
                                               {u"2.grlist"_s, QString(51, u'n'), ""},
                                               {u"3. lekce.grlist"_s, u"z"_s, "m-31-z\r\n"}}) {
            QFile list(m_dir.filePath(name));
            list.open(QIODevice::WriteOnly);
            list.write(listBytes(flags) + bad);
            m_files[name] = QString(flags).replace(u'N', u'z').replace(u'x', u'z') +
                            QString(54 - flags.size(), u'?');
        }
        m_form = std::make_unique<Form1>(std::make_unique<SeededRandom>(seed));
        m_form->show();
        // Low on the lower screen: the taller layout and help miss their margin there by 11 px.
        if (seed % 2 && QGuiApplication::screenAt({0, 2634}))
            m_form->move(0, 2634);
        m_failure =
            QTest::qWaitForWindowExposed(m_form.get()) ? looks(m_form.get()) : u"not shown"_s;
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
    static QByteArray listBytes(const QString &flags) // a line "m-01-z" per flag
    {
        QByteArray bytes;
        for (int i = 0; i < flags.size(); ++i)
            bytes +=
                QString::asprintf("%c-%02d-%c\r\n", "mv"[i / 27], i % 27 + 1, flags[i].toLatin1())
                    .toLatin1();
        return bytes;
    }

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
            const QString file = QCoreApplication::applicationDirPath() + path;
            if (QImage(m_form->devicePixelRatio() > 1 ? artwork::doubleSizePath(file) : file)
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
        s.top = m_form->frameGeometry().top();
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

    // Under a dark desktop palette a window keeps its own light one: a light face, each button's
    // face in its colour, every caption whole.
    static QString looks(QWidget *window)
    {
        static const QString faces = u" help#c0ffff stopka#ffc0c0 start#c0ffc0 setup#c0c0ff "
                                     u"sejf#ffe0c0 loud#ffe0c0 pokracovat#ffffc0 ok#c0ffff"_s;
        if (window->grab().toImage().pixelColor(1, 1).lightness() <= 200)
            return u"a dark window"_s;
        const int indicator = window->style()->pixelMetric(QStyle::PM_IndicatorWidth) +
                              window->style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing);
        for (QWidget *w : window->findChildren<QWidget *>()) {
            const QString text = w->property("text").toString();
            const qsizetype at = faces.indexOf(u' ' + w->objectName() + u'#');
            if (at >= 0 &&
                w->grab().toImage().pixelColor(w->width() / 10, w->height() / 2).name() !=
                    faces.mid(at + w->objectName().size() + 1, 7))
                return u"the face of "_s + w->objectName();
            if (!text.isEmpty() &&
                w->fontMetrics().size(0, text).width() +
                        (w->inherits("QCheckBox") || w->inherits("QRadioButton") ? indicator : 0) >
                    w->width())
                return u"a caption cut: "_s + text;
        }
        return {};
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
        const int r = m_rng() % 100, file = m_rng() % 6;
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
                u"Tab Shift+Tab Left Right Up Down Backspace Space Return Escape"_s.split(u' ');
            const int k = m_rng() % keys.size(); // r: the auto-repeats of a held key
            step =
                u"%1%2:"_s.arg(QChar(k > 6 && m_rng() % 3 == 0 ? u'r' : u'k')).arg(file) + keys[k];
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
                if (i && i->editableTextInterface()) // a tool's text
                    actions << w->objectName() + u":Text"_s;
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
            const QPoint at(xy[0].toInt(), xy.value(1).toInt()), global = handle->mapToGlobal(at);
            const qsizetype steps = taken.size(); // more if the click opened a modal window
            QTest::mouseClick(handle, Qt::LeftButton, {}, at);
            if (kind == u'd' && taken.size() == steps) { // which else takes the second half
                QTest::lastMouseTimestamp -= QTest::mouseDoubleClickInterval;
                // Where the mouse stands, though the first half moved the window under it.
                QTest::mouseClick(handle, Qt::LeftButton, {}, handle->mapFromGlobal(global));
            }
        } else if (kind == u'k' || kind == u'r') {
            const QKeyCombination key = QKeySequence(arg)[0];
            for (int i = 0; kind == u'r' && i < 4; ++i) // the auto-repeats of a held key
                QTest::simulateEvent(handle, i % 2 == 0, key.key(), {}, {}, true);
            kind == u'k' ? QTest::keyClick(handle, key.key(), key.keyboardModifiers()) : void();
        } else if (kind == u'a' && w && arg.endsWith(u":Text"_s)) {
            QAccessibleInterface *i = QAccessible::queryAccessibleInterface(w);
            i->editableTextInterface()->replaceText(
                0, i->textInterface()->characterCount(),
                m_catalogue.names[qMax(1, m_before.shown)].section(u';', 0, 0));
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
                static const QStringList answers = {
                    {}, u"1"_s, u"2"_s, u"3. lekce"_s, u"4.GrList"_s, QString(300, u'x')};
                m_chosen = QChar(mode == QFileDialog::AcceptSave ? u's' : u'o') +
                           answers[taken.last().mid(1, 1).toInt()];
                return m_chosen.size() > 1 ? m_dir.filePath(m_chosen.mid(1)) : QString();
            });
            QObject::connect(f, &QDialog::accepted, [this] { m_applied = true; });
            // Every box, both headings and the three buttons are keyboard stops.
            int stops = 0;
            for (QWidget *w = f->nextInFocusChain(); w != f; w = w->nextInFocusChain())
                stops += bool(w->focusPolicy() & Qt::TabFocus);
            m_failure = stops == 56 ? looks(f) : u"keyboard stops in Nastavení: %1"_s.arg(stops);
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
        if (step[0].toLower() == u'r' && (!same || a.modal != b.modal || a.ticks != b.ticks))
            return u"a held key acted: "_s + name;
        if (key(step, "Escape") && b.page && a.page)
            return u"Escape leaves help open"_s;
        if (step.endsWith(u"Return"_s) && m_applied && m_target &&
            m_target->inherits("QPushButton") && name != u"ok"_s)
            return u"Enter pressed Použít, not "_s + name;
        if (step[0] == u'k' && a.focus && a.focus != b.focus && // and the style draws no frame
            !m_form->testAttribute(Qt::WA_KeyboardFocusChange))
            return u"focus moved unseen: "_s + a.focus->objectName();
        // A window that would not fit moves to 500 twips above the screen's bottom, or to its top.
        const QRect area = m_form->screen()->availableGeometry();
        if (!b.page && (a.top != b.top || a.height > b.height) &&
            (b.top + a.height <= area.bottom() - 33
                 ? a.top != b.top
                 : a.top + a.height != area.bottom() - 33 && a.top != area.top()))
            return u"placed at %1"_s.arg(a.top);
        if (!b.page)
            std::tie(m_top, m_focus) = std::tuple(b.top, b.focus ? b.focus : control("help"));
        // The second half of a double-click may land in the answer box the page uncovered.
        if (b.page && !a.page && (a.top != m_top || (a.focus != m_focus && step[0] != u'd')))
            return u"help leaves the window at %1, the focus on "_s.arg(a.top) +
                   (a.focus ? a.focus->objectName() : QString());
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
        if (const QString failure = checkSelection(b, a, step); !failure.isEmpty())
            return failure;
        // Closing "Nastavení" unsaved, or switching the direction, counts the flags afresh.
        if (((b.modal == u"Nastavení."_s && a.modal.isEmpty() && !m_saved) ||
             b.pictures != a.pictures) &&
            a.zbpopis != u"Zbývá znaků - %1"_s.arg(a.flags.left(51).count(u'z')))
            return u"count: "_s + a.zbpopis;
        // The board is one keyboard stop; its arrows move along rows and columns, inside it.
        const QString key = step[0] == u'k' ? step.mid(3) : QString();
        if (from >= 0 && key.endsWith(u"Tab"_s) && to >= 0)
            return u"Tab stays on the board"_s;
        int stops = 0; // of the pictures shown
        for (int i = 0; a.run && a.pictures && i < kSlots; ++i)
            stops += a.board[i] > 0 && form().box(i)->focusPolicy() & Qt::TabFocus;
        if (stops != (a.run && a.pictures))
            return u"the board's keyboard stops: %1"_s.arg(stops);
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
    QString checkSelection(const State &b, const State &a, const QString &step)
    {
        // Saving adds ".grlist" to a name not ending with it in any case; loading takes a name
        // as typed where that file is, else with ".grlist". No file has a 300-byte name.
        const QString typed = m_chosen.mid(1),
                      file = typed.endsWith(u".grlist"_s, Qt::CaseInsensitive)
                                 ? typed
                                 : typed + u".grlist"_s,
                      list = m_files.value(m_files.contains(typed) ? typed : file);
        const bool saved = m_chosen.startsWith(u's') && !typed.isEmpty(),
                   tooLong = typed.size() > 255;
        // "Použít" closes the window, or says that no box is ticked.
        const QString none = u"Kelmora.Ke zkoušení je potřeba vybrat alespoň 1 znak."_s;
        const bool applied = m_applied || (a.modal == none && b.modal != none);
        QString flags = applied || saved ? b.ticks + u"nnn"_s : b.flags, ticks = b.ticks;
        m_saved = m_saved || saved;
        if (saved && !tooLong)
            m_files[file] = flags;
        QFile written(m_dir.filePath(file));
        if (saved &&
            (tooLong ? !a.modal.endsWith(u"vytvořit: název souboru je příliš dlouhý."_s)
                     : !written.open(QIODevice::ReadOnly) || written.readAll() != listBytes(flags)))
            return u"saved as: "_s + a.modal;
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
        QString pressed = ticks; // the box pressed, or its column inverted
        for (int i = 0; i < 51; ++i) {
            if (name == boxName(i) || name == (i < 27 ? u"Label21"_s : u"Label20"_s))
                pressed[i] = pressed[i] == u'z' ? u'n' : u'z';
        }
        // Space and an assistive tool's press cannot miss; a click may fall beside the box.
        const QChar kind = step[0].toLower();
        const bool sure = (kind == u'a' && !step.endsWith(u"SetFocus"_s)) ||
                          (kind == u'k' && step.mid(3) == u"Space"_s);
        return a.ticks == pressed || (!sure && a.ticks == ticks) ? QString()
                                                                 : u"boxes: "_s + a.ticks;
    }

    QString checkRun(const State &b, const State &a, const QString &step)
    {
        const bool ended = a.verdict == u"HOTOVO"_s && b.verdict != u"HOTOVO"_s;
        QWidget *start = control("start");
        QWidget *tab = a.focus ? a.focus->nextInFocusChain() : nullptr;
        while (tab && !(tab->focusPolicy() & Qt::TabFocus && tab->isVisible() && tab->isEnabled()))
            tab = tab->nextInFocusChain();
        if (ended && (!a.focus || a.focus == start || tab != start))
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
        if (b.run ? !a.run && !ended : a.run || ended) { // STOP, or START
            m_model = {};                                // the selected rows, pending
            for (int row = 1; row <= 51; ++row)
                a.flags[row - 1] == u'z' ? void(m_model.marks[row] = 0) : void();
            m_expect = a.run ? Answer : Idle;
            if (m_model.over() != ended)
                return u"run over at START: %1"_s.arg(ended);
            return a.score == m_model.score() ? asked(a) : u"START or STOP shows "_s + a.score;
        }
        if (!b.run)
            return {};
        const bool pressed =
            m_reachable && m_target &&
            (QString(u"cda"_s).contains(step[0]) || key(step, "Space") || key(step, "Return"));
        int verdicts = 0;
        bool right = false;
        if (!b.pictures && m_expect != Idle) {
            verdicts = (pressed && m_target == control("enter") && step[0] != u'k') ||
                       (m_target == control("zadano") && key(step, "Return") && m_expect == Answer);
            const QStringList names = m_catalogue.names[b.shown].split(u';');
            right = !plain(b.text).isEmpty() &&
                    std::any_of(names.begin(), names.end(),
                                [&](const QString &n) { return plain(n) == plain(b.text); });
        } else if (b.pictures && m_expect == Answer && pressed && slotOf(m_target) >= 0) {
            verdicts = 1;
            right = b.board[slotOf(m_target)] == sought(b);
            for (int i = 0; i < kSlots; ++i) {
                if ((a.board[i] >= 0) != (a.board[i] == sought(b)) && a.run)
                    return u"board after the answer: box %1"_s.arg(i);
            }
        }
        const bool continued =
            b.pictures ? (m_expect == Continue && (a.answering() || ended))
                       : ((m_expect == Continue || verdicts) && !a.pokracovat && (a.run || ended));
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
        // What the window waits for next is the model's, never read back from the window.
        m_expect = continued ? (ended ? Idle : Answer) : verdicts ? Continue : m_expect;
        if (a.run && (b.pictures ? a.answering() != (m_expect == Answer)
                                 : a.pokracovat != (m_expect == Continue)))
            return u"waiting for the wrong step: %1"_s.arg(int(m_expect));
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
    QEventLoop m_loop;
    QString m_failure;
    State m_before;
    QPointer<QWidget> m_target, m_modalBefore;
    QPointer<Form2> m_form2;
    bool m_reachable = true, m_performing = false, m_saved = false, m_settle = false,
         m_applied = false, m_opened = false;
    QString m_chosen;                // "o" or "s" and the name given to the dialog this step
    QHash<QString, QString> m_files; // each list file's flags, "?" for a line it lacks
    AnswerKey m_model;
    enum { Idle, Answer, Continue } m_expect = Idle; // what the run waits for
    QHash<qint64, int> m_rows;
    int m_top = 0; // before help, and the focus then
    QPointer<QWidget> m_focus;
};

} // namespace walk

class TestWindows : public QObject
{
    Q_OBJECT

private slots:
    // As the program starts on a dark desktop: its own look, Czech and Qt's Czech catalogue.
    void initTestCase()
    {
        QApplication::setPalette(QPalette(QColor(40, 40, 40)));
        useCzechLocale();
        prepareApplication(m_translator);
    }
    void init() { vyber().clear(); }
    void cleanup() { m_form.reset(); }

    void walk_data()
    {
        QTest::addColumn<quint64>("seed");  // of the first walk
        QTest::addColumn<QString>("steps"); // a walk to replay; none: walks of random steps
        QTest::addRow("random") << quint64(1) << QString();
    }

    // Random walks of both windows, or one replayed; a failing one is printed as a row to replay.
    // KELMORA_WALK_STEPS sets the number of random steps in all.
    void walk()
    {
        QFETCH(quint64, seed);
        QFETCH(QString, steps);
        const QStringList script = steps.split(u" | "_s, Qt::SkipEmptyParts);
        const int length =
            script.isEmpty() ? qEnvironmentVariableIntValue("KELMORA_WALK_STEPS") : 1;
        for (int done = 0; done < (length ? length : 40000); ++seed) {
            walk::Walk walk(seed, script);
            const QString failure = walk.run();
            done += int(walk.taken.size());
            if (!failure.isEmpty())
                QFAIL(qPrintable(u"%1; seed %2, steps to replay:\n%3"_s.arg(failure).arg(seed).arg(
                    walk.taken.join(u" | "_s))));
        }
    }

    void failedFile_data()
    {
        QTest::addColumn<QString>("button"); // kelmora: a list named on the command line; pictures:
                                             // a picture run from that folder
        QTest::addColumn<QString>("name"); // the answer; ?: typed in Qt's dialog, after the folder
        QTest::addColumn<QByteArray>("bytes"); // in "<b>3. lekce.grlist", beside "složka"
        QTest::addColumn<QString>("reason");   // a pattern of the message's end; ^: of all seen
        const QString name = u"<b>3. lekce.grlist"_s;
        const auto add = [](const char *row, const char *button, const QString &name,
                            const QByteArray &bytes, const QString &reason) {
            QTest::newRow(row) << QString::fromUtf8(button) << name << bytes << reason;
        };
        // Qt's dialog in Czech; a name typed without the extension is found, or saved with it.
        const auto dialog = [](const QString &title, const char *size) {
            return u"^%1 výběr řeckých znaků\\|Seznam řeckých znaků \\(\\*\\.grlist\\)\\|Zrušit"
                   u"\\|<b>3\\. lekce\\.grlist %2 [^|]*\\|složka  Složka"_s.arg(
                       title, QString::fromUtf8(size));
        };
        add("Qt's dialog", "loud", u"?"_s, "x", dialog(u"Načíst"_s, "1 bajt") + u'$');
        add("Qt's save dialog", "sejf", u"?"_s, "xyzw", dialog(u"Uložit"_s, "4 bajty") + u'$');
        add("a name without its extension", "loud", u"?<b>3. lekce"_s, "m-31-",
            dialog(u"Načíst"_s, "5 bajtů") +
                u"\\|Kelmora\\|.*\n.*/<b>3\\. lekce\\.grlist\n\nŘádek 1 .*\\|0$"_s);
        add("replacing a list", "sejf", u"?<b>3. lekce"_s, QByteArray(1536, 'x'),
            dialog(u"Uložit"_s, "1,5 kB") +
                u"\\|Uložit výběr řeckých znaků\\|Soubor <b>3\\. lekce\\.grlist"
                " již existuje\\.\nChcete jej nahradit\\?\\|0\\|Uložit"_s);
        // Named on the command line: the same message over the main window, which counts what
        // the lines before the bad one selected.
        add("row out of range at start", "kelmora", name, "m-01-n\r\nm-31-z\r\n",
            u"^Zbývá znaků - 50\\|Kelmora\\|Výběr znaků se nepodařilo načíst ze "
            "souboru\n.*\n\nŘádek 2 "_s);
        // Pictures missing leave their boxes empty, and are told once, naming the folder.
        add("pictures missing", "pictures", u"složka"_s, {},
            u"^Kelmora\\|Obrázky znaků chybí: ve složce\n.*/složka\nnení soubor [mv]\\d\\d\\.gif, "
            "nebo ho nelze načíst\\.\n\nZkoušení jde dál, chybějící obrázky zůstanou prázdné\\.\\|0$"_s);
        add("no such folder", "sejf", u"none/"_s + name, {},
            u"vytvořit: soubor nebo složka neexistuje\\."_s);
    }

    // Qt's file dialogs and message boxes in Czech and in the windows' font family, and a
    // failure told with the file name as it is.
    void failedFile()
    {
        QFETCH(QString, button);
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        QFile file(dir.filePath(u"<b>3. lekce.grlist"_s));
        QVERIFY(QDir(dir.path()).mkdir(u"složka"_s) &&
                (bytes.isNull() || (file.open(QIODevice::WriteOnly) && file.write(bytes))));
        file.close();
        // Kelmora keeps no settings, though Qt's file dialog would keep its folders there.
        const QFileInfo qtSettings(
            QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
            u"/QtProject.conf"_s);
        const QDateTime settingsTime = qtSettings.lastModified();
        const QString fileName = dir.filePath(name);
        QStringList seen;
        if (button == u"kelmora"_s) {
            QVERIFY(showForm(m_form, std::make_unique<SeededRandom>(1)));
            closeModal(m_form.get(), seen);
            m_form->loadList(fileName);
            seen.prepend(FormDriver(*m_form).control<QLabel>(u"zbpopis"_s)->text());
        } else if (button == u"pictures"_s) {
            QVERIFY(showForm(m_form, std::make_unique<SeededRandom>(3), fileName));
            closeModal(m_form.get(), seen);
            FormDriver form(*m_form);
            QVERIFY(form.click(u"Option13"_s) && form.click(u"start"_s));
            QTRY_VERIFY(!QApplication::activeModalWidget());
            QVERIFY(form.click(u"stopka"_s) && form.click(u"start"_s) &&
                    form.control(u"stopka"_s)->isVisible() && !QApplication::activeModalWidget());
        } else {
            QLabel zbpopis; // the main window's count
            Form2 form(&zbpopis);
            form.show();
            if (!name.startsWith(u'?'))
                form.setFileChooser([&](auto, auto) { return fileName; });
            closeModal(&form, seen, dir.path(), name.mid(1));
            QVERIFY(FormDriver::press(form.findChild<QWidget *>(button)));
        }
        const QString path = QRegularExpression::escape(QDir::toNativeSeparators(fileName));
        const QString pattern =
            reason.startsWith(u'^') ? reason : u"\n%1\n\n.*%2\\|0$"_s.arg(path, reason);
        QVERIFY2(seen.join(u'|').contains(QRegularExpression(pattern)),
                 qPrintable(seen.join(u'|')));
        QCOMPARE(QFileInfo(qtSettings.filePath()).lastModified(), settingsTime);
    }

private:
    QTranslator m_translator;
    std::unique_ptr<Form1> m_form;
};

QTEST_MAIN(TestWindows)
#include "tst_windows.moc"
