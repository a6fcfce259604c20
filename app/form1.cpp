// SPDX-License-Identifier: MIT
#include "form1.h"

#include "accessibility.h"
#include "artwork.h"
#include "board.h"
#include "form2.h"
#include "input.h"
#include "look.h"
#include "picturebox.h"
#include "random.h"
#include "runreset.h"
#include "twips.h"
#include "vyber.h"

#include <QButtonGroup>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>

#include <utility>

namespace kelmora {

namespace {

const QString kHotovo = QStringLiteral("HOTOVO");
constexpr int kTypedHeightTwips = 3165;
constexpr int kTallHeightTwips = 8145;
constexpr int kRightColour = 0x8000; // "&H8000"
constexpr int kWrongColour = 255;

// A caption too wide for its button breaks at the space nearest its middle,
// so that a two-line button shows it whole.
QString fittedCaption(const QString &caption, const QFont &font, int width)
{
    const int middle = int(caption.size() / 2);
    const qsizetype left = caption.lastIndexOf(QLatin1Char(' '), middle);
    const qsizetype right = caption.indexOf(QLatin1Char(' '), middle);
    const qsizetype space =
        left < 0 || (right >= 0 && right - middle < middle - left) ? right : left;
    if (QFontMetrics(font).horizontalAdvance(caption) <= width - 8 || space < 0)
        return caption;
    QString fitted = caption;
    fitted[space] = QLatin1Char('\n');
    return fitted;
}

QString markCaption(int mark, int count)
{
    return QStringLiteral("%1 - %2").arg(QChar(u'A' + mark - 1)).arg(count);
}

// Unlike clear(), setText() drops the box's undo history, which would grow every question.
void emptyAnswer(QLineEdit *box)
{
    box->setText(QString());
}

QString cormisCaption(int right, int wrong)
{
    return QStringLiteral("%1 / %2").arg(right).arg(wrong);
}

template <typename W> W *named(W *widget, const QString &objectName)
{
    widget->setObjectName(objectName);
    return widget;
}

bool isEnter(const QKeyEvent *key)
{
    return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
}

QCursor pictureCursorFrom(const QString &path, QPoint hotSpot)
{
    return QCursor(QPixmap(path), hotSpot.x(), hotSpot.y());
}

} // namespace

Form1::Form1(std::unique_ptr<RandomSource> random, const QString &pictureFolder, QWidget *parent)
    : QWidget(parent)
    , m_random(std::move(random))
    , m_pictureFolder(pictureFolder.isEmpty() ? defaultPictureFolder() : pictureFolder)
{
    installAccessibility();
    installInputRules();
    createControls();
    Form_Load();
}

Form1::~Form1() = default;

void Form1::createControls()
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Zkoušení řeckých znaků"));
    setFont(uiFont(8.25, false));
    setFixedSize(635, 527);
    setWindowIcon(QIcon(artwork::kWindowIcon));

    const auto label = [&](const QString &objectName, const QString &caption, const QRect &rect,
                           qreal points, int colour = -1) {
        auto *l = new QLabel(caption, this);
        named(l, objectName);
        l->setGeometry(rect);
        l->setFont(uiFont(points, true));
        if (colour >= 0)
            setColour(l, QPalette::WindowText, colourFromNumber(colour));
        return l;
    };
    const auto button = [&](const QString &objectName, const QString &caption, const QRect &rect,
                            const QColor &background) {
        auto *b = new QPushButton(this);
        named(b, objectName);
        b->setGeometry(rect);
        b->setFont(uiFont(9.75, true));
        b->setText(fittedCaption(caption, b->font(), rect.width()));
        b->setAccessibleName(caption);
        setColour(b, QPalette::Button, background);
        return b;
    };
    const auto option = [&](QGroupBox *frame, const QString &objectName, const QString &caption,
                            const QRect &rect) {
        auto *o = new QRadioButton(caption, frame);
        named(o, objectName);
        o->setGeometry(rect);
        o->setFont(font());
        return o;
    };

    Frame1 = new QGroupBox(QStringLiteral("Jakým směrem zkoušet ?"), this);
    named(Frame1, QStringLiteral("Frame1"))->setGeometry(5, 5, 159, 62);
    Frame1->setFont(uiFont(8.25, true));
    Option1[0] = option(Frame1, QStringLiteral("Option10"), QStringLiteral("Psát názvy znaků"),
                        {16, 19, 129, 19});
    Option1[3] = option(Frame1, QStringLiteral("Option13"), QStringLiteral("Vybírat obrázky"),
                        {16, 39, 117, 20});
    Option1[0]->setChecked(true);
    auto *direction = new QButtonGroup(this);
    direction->addButton(Option1[0], 0);
    direction->addButton(Option1[3], 3);
    // An option acts when it becomes selected, by mouse, keyboard or an assistive tool.
    connect(direction, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked)
            Option1_Click();
    });

    Frame2 = new QGroupBox(QStringLiteral("Styl písma"), this);
    named(Frame2, QStringLiteral("Frame2"))->setGeometry(6, 72, 161, 41);
    Frame2->setFont(uiFont(8.25, true));
    Option2[0] =
        option(Frame2, QStringLiteral("Option20"), QStringLiteral("Tiskací"), {11, 16, 57, 20});
    Option2[1] =
        option(Frame2, QStringLiteral("Option21"), QStringLiteral("Psací"), {95, 16, 57, 20});
    Option2[0]->setChecked(true);
    auto *lettering = new QButtonGroup(this);
    lettering->addButton(Option2[0], 0);
    lettering->addButton(Option2[1], 1);
    connect(lettering, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked)
            Option2_Click(id);
    });

    setup = button(QStringLiteral("setup"), QStringLiteral("Vybrat znaky ke zkoušení"),
                   {5, 117, 158, 38}, QColor(192, 192, 255));
    start = button(QStringLiteral("start"), QStringLiteral("START"), {5, 158, 158, 30},
                   QColor(192, 255, 192));

    zbpopis = label(QStringLiteral("zbpopis"), zbyvaCaption(51), {185, 5, 193, 36}, 13.5);

    obrazek1 = new QLabel(this);
    named(obrazek1, QStringLiteral("obrazek1"))->setGeometry(196, 41, 80, 100);
    obrazek1->setAlignment(Qt::AlignCenter);
    obrazek1->setAccessibleName(QStringLiteral("Obrázek znaku"));

    vema = label(QStringLiteral("vema"), {}, {172, 91, 129, 20}, 12, 0);
    message = label(QStringLiteral("message"), {}, {172, 112, 129, 75}, 9.75);
    message->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    zadano = new QLineEdit(this);
    named(zadano, QStringLiteral("zadano"))->setGeometry(173, 152, 129, 28);
    zadano->setFont(uiFont(12, false));
    zadano->setAccessibleName(QStringLiteral("Název znaku"));
    zadano->installEventFilter(this);
    connect(zadano, &QLineEdit::textChanged, this, &Form1::zadano_Change);

    enter = new PictureBox(this);
    named(enter, QStringLiteral("enter"))->setGeometry(309, 153, 22, 26);
    enter->setToolTip(QStringLiteral("Enter"));
    enter->setAccessibleName(QStringLiteral("Enter"));
    enter->setPixmap(m_pictures.picture(artwork::kEnter, devicePixelRatioF()));
    enter->setCursor(pictureCursorFrom(artwork::kKurzor, artwork::kKurzorHotSpot));
    enter->hide();
    connect(enter, &PictureBox::clicked, this, &Form1::enter_Click);

    truefalse = label(QStringLiteral("truefalse"), {}, {308, 156, 129, 30}, 13.5, kRightColour);
    truefalse->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    pokracovat = button(QStringLiteral("pokracovat"), QStringLiteral("Pokračovat"),
                        {311, 152, 101, 30}, QColor(255, 255, 192));
    pokracovat->hide();

    Label1 = label(QStringLiteral("Label1"), QStringLiteral("Hodnocení :"), {405, 7, 95, 18}, 9.75);
    constexpr int kMarkColours[6] = {0, 0x008000, 0x008000, 0x008080, 0x008080, 0x0000c0};
    for (int i = 1; i <= 5; ++i) {
        popis[i] = label(QStringLiteral("popis%1").arg(i), markCaption(i, 0),
                         {i == 5 ? 423 : 421, 23 + 19 * (i - 1), 75, 19}, 12, kMarkColours[i]);
    }
    Label2 = label(QStringLiteral("Label2"), QStringLiteral("správné / chybné"),
                   {440, 132, 127, 18}, 9.75, 0x000040);
    cormis =
        label(QStringLiteral("cormis"), QStringLiteral("0 / 0"), {468, 152, 72, 18}, 12, 0x000040);
    cormis->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    help = button(QStringLiteral("help"), QStringLiteral("Nápověda"), {533, 1, 101, 30},
                  QColor(192, 255, 255));
    // A click keeps the focus where it was, to have it back when help closes.
    help->setFocusPolicy(Qt::TabFocus);
    stopka = button(QStringLiteral("stopka"), QStringLiteral("STOP"), {533, 35, 101, 30},
                    QColor(255, 192, 192));

    connect(setup, &QPushButton::clicked, this, &Form1::setup_Click);
    connect(start, &QPushButton::clicked, this, &Form1::start_Click);
    connect(pokracovat, &QPushButton::clicked, this, &Form1::pokracovat_Click);
    connect(stopka, &QPushButton::clicked, this, &Form1::stopka_Click);
    connect(help, &QPushButton::clicked, this, &Form1::help_Click);
}

// The board and the help pages are made when first shown: the first frame needs neither.
void Form1::createBoard()
{
    // The boxes sit in a panel of their own: "obrazek1" names both the typed-name picture and
    // box 1 of the board.
    board = new QWidget(this);
    named(board, QStringLiteral("obrazek"))->setGeometry(25, 191, 584, 321);
    board->setAccessibleName(QStringLiteral("Obrázky k výběru"));
    const QCursor pictureCursor = pictureCursorFrom(artwork::kKurzor, artwork::kKurzorHotSpot);
    constexpr int kColumns[7] = {25, 109, 193, 277, 361, 444, 528};
    for (int i = 0; i < kSlots; ++i) {
        obrazek[i] = new PictureBox(board);
        named(obrazek[i], QStringLiteral("obrazek%1").arg(i))
            ->setGeometry(kColumns[i % 7] - board->x(), 108 * (i / 7), 81, 105);
        obrazek[i]->setAlignment(Qt::AlignCenter);
        obrazek[i]->setCursor(pictureCursor);
        obrazek[i]->setFocusPolicy(Qt::NoFocus);
        obrazek[i]->setAccessibleName(QStringLiteral("Obrázek %1").arg(i + 1));
        connect(obrazek[i], &PictureBox::clicked, this, [this, i] { obrazek_Click(i); });
    }
}

void Form1::createHelpPages()
{
    const QCursor handCursor = pictureCursorFrom(artwork::kRuka, artwork::kRukaHotSpot);
    const auto helpPage = [&](const QString &objectName, const QString &picture, int height,
                              const QString &caption, const QString &source) {
        auto *page = new PictureBox(this);
        named(page, objectName)->setGeometry(0, 1, 634, height);
        page->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        page->setAutoFillBackground(true);
        setColour(page, QPalette::Window, Qt::white);
        page->setPixmap(m_pictures.picture(picture, devicePixelRatioF()));
        page->setCursor(handCursor);
        page->setFocusPolicy(Qt::TabFocus);
        page->setAccessibleName(caption);
        // What the page says, for screen readers: its text without the marks of emphasis,
        // headings and pictures.
        QFile text(source);
        text.open(QIODevice::ReadOnly);
        page->setAccessibleDescription(
            QString::fromUtf8(text.readAll())
                .remove(QRegularExpression(QStringLiteral("^#+ |[*{}]"),
                                           QRegularExpression::MultilineOption)));
        page->hide();
        return page;
    };
    hlppic1 =
        helpPage(QStringLiteral("hlppic1"), artwork::kHelpPage1, 525,
                 QStringLiteral("Další strana nápovědy"), QStringLiteral(":/help/strana1.txt"));
    hlppic2 = helpPage(QStringLiteral("hlppic2"), artwork::kHelpPage2, 526,
                       QStringLiteral("Konec nápovědy"), QStringLiteral(":/help/strana2.txt"));
    connect(hlppic1, &PictureBox::clicked, this, &Form1::hlppic1_Click);
    connect(hlppic2, &PictureBox::clicked, this, &Form1::closeHelp);
}

void Form1::Form_Load()
{
    prepni1();
    koncovka = QStringLiteral(".gif");
    Option2[0]->setChecked(true);
    if (!m_random)
        m_random = std::make_unique<SeededRandom>(clockSeed());
    vyber().markUnusedCells();
    fillCatalogue(tabznaku, koncovky);
}

void Form1::prepni1()
{
    obrazek1->show();
    zadano->show();
    if (board)
        board->hide();
    message->move(284, 42);
    truefalse->move(284, 119);
    vema->hide();
    stopka->hide();
    start->show();
    setOuterHeightTwips(kTypedHeightTwips);
}

void Form1::prepni2()
{
    obrazek1->hide();
    zadano->hide();
    if (!board)
        createBoard();
    board->show();
    for (PictureBox *box : obrazek)
        box->show();
    message->move(172, 112);
    truefalse->move(308, 156);
    vema->show();
    stopka->hide();
    start->show();
    setOuterHeightTwips(kTallHeightTwips);
    keepOnScreen(kTallHeightTwips);
    enter->hide();
}

void Form1::Option1_Click()
{
    if (Option1[0]->isChecked())
        prepni1();
    if (Option1[3]->isChecked())
        prepni2();
    nulujznaky();
}

void Form1::Option2_Click(int Index)
{
    koncovka = Index == 0 ? QStringLiteral(".gif") : QStringLiteral(".jpg");
}

void Form1::nulujznaky()
{
    pocetznaku = quint8(resetRun(vyber(), tabznaku));
    tally.zbyva = pocetznaku;
    zbpopis->setText(zbyvaCaption(tally.zbyva));
}

void Form1::loadList(const QString &fileName)
{
    loadSelectionList(this, fileName, [this] { nulujznaky(); });
}

void Form1::setup_Click()
{
    Form2 form(zbpopis, this);
    form.exec();
}

void Form1::start_Click()
{
    if (!start->isHidden()) {
        correct = 0;
        mistake = 0;
        setDirectionEnabled(false);
        nulujznaky();
        // Marks and a verdict given after a stop belong to no run.
        tally = recount(tabznaku);
        pokracovat->hide();
        message->clear();
        for (int i = 1; i <= 5; ++i)
            popis[i]->setText(markCaption(i, 0));
        cormis->setText(cormisCaption(correct, mistake));
        truefalse->clear();
        if (Option1[3]->isChecked()) {
            start->hide();
            setup->hide();
            setLetteringEnabled(false);
            for (n = 1; n <= kCharacterRows; ++n)
                pozice[n] = kFree;
            stopka->show();
            test2();
            return;
        }
        zadano->setFocus();
    }

    const int row = tally.runOver() ? 0 : drawRow(tabznaku, *m_random);
    if (row == 0) {
        endRun();
        return;
    }
    n = quint8(row);
    showPicture(obrazek1, n);
    emptyAnswer(zadano);
    enter->hide();
    start->hide();
    setup->hide();
    setLetteringEnabled(false);
    stopka->show();
}

void Form1::endRun()
{
    truefalse->setText(kHotovo);
    vyhodnoceni();
    start->show();
    stopka->hide();
    setup->show();
    setLetteringEnabled(true);
    setDirectionEnabled(true);
    message->clear();
    if (Option1[3]->isChecked()) {
        clearBoard();
        vema->clear();
    } else {
        enter->hide();
        emptyAnswer(zadano);
        obrazek1->clear();
    }
    // Neither Enter nor Space here starts again over the final score; one Tab reaches START.
    setup->setFocus();
}

void Form1::test2()
{
    for (n = 1; n <= kCharacterRows; ++n)
        pozice[n] = kFree;
    const Question question =
        tally.runOver() ? Question{} : drawQuestion(tabznaku, pozice, *m_random);
    if (question.hledany == 0) {
        endRun();
        return;
    }
    hledany = quint8(question.hledany);
    for (int slot = 0; slot < kSlots; ++slot) {
        obrazek[slot]->hide();
        showPicture(obrazek[slot], question.boardRows[slot]);
        obrazek[slot]->setStored(question.boardRows[slot]);
    }
    vema->setText(phrase(hledany, koncovky));
    message->setText(rozloz(tabznaku.names[obrazek[question.spravna]->stored()]));
    spravna = qint16(question.spravna);
    for (PictureBox *box : obrazek)
        box->show();
    focusBoard(0);
}

void Form1::obrazek_Click(int Index)
{
    const bool poprve = !obrazek[1]->isHidden() && !obrazek[2]->isHidden();
    if (!start->isHidden())
        return;
    kliknuto(Index, spravna, poprve);
}

void Form1::kliknuto(int kindex, int spravne, bool poprve)
{
    if (!poprve) {
        vyhodnoceni();
        truefalse->clear();
        test2();
        return;
    }
    for (int i = 0; i < kSlots; ++i) {
        if (i != spravna)
            obrazek[i]->hide();
    }
    const bool right = kindex == spravne;
    tabznaku.states[hledany] =
        right ? gradeRight(tabznaku.states[hledany]) : gradeWrong(tabznaku.states[hledany]);
    showVerdict(right);
    // The remaining picture takes the next keystroke, the one that moves on.
    focusBoard(spravna);
}

void Form1::zadano_KeyPress(int KeyAscii)
{
    if (truefalse->text() == kHotovo || (!enterflag && KeyAscii != 13))
        return;
    // Before the first typed question, or after a picture run, no character is on screen.
    if (n < 1 || n > kCharacterRows) {
        enterflag = false;
        return;
    }
    nazvy = splitNames(tabznaku.names[n]);
    const bool right = isRightAnswer(zadano->text(), nazvy);
    tabznaku.states[n] = right ? gradeRight(tabznaku.states[n]) : gradeWrong(tabznaku.states[n]);
    showVerdict(right);
    if (!right)
        message->setText(nameLines(nazvy));
    pokracovat->show();
    enterflag = false;
}

void Form1::showVerdict(bool right)
{
    countVerdict(right ? correct : mistake);
    setColour(truefalse, QPalette::WindowText,
              colourFromNumber(right ? kRightColour : kWrongColour));
    truefalse->setText(right ? QStringLiteral("Správně") : QStringLiteral("ŠPATNĚ"));
}

void Form1::zadano_Change()
{
    if (truefalse->text() != kHotovo)
        enter->setVisible(!zadano->text().isEmpty());
}

void Form1::enter_Click()
{
    enterflag = true;
    zadano_KeyPress(13);
}

void Form1::vyhodnoceni()
{
    tally = recount(tabznaku);
    for (int i = 1; i <= 5; ++i)
        popis[i]->setText(markCaption(i, tally.znamka[i]));
    zbpopis->setText(zbyvaCaption(tally.zbyva));
    cormis->setText(cormisCaption(correct, mistake));
}

void Form1::pokracovat_Click()
{
    vyhodnoceni();
    message->clear();
    truefalse->clear();
    pokracovat->hide();
    zadano->setFocus();
    start_Click();
}

void Form1::stopka_Click()
{
    truefalse->setText(kHotovo);
    nulujznaky();
    tally = {};
    correct = 0;
    mistake = 0;
    emptyAnswer(zadano);
    obrazek1->clear();
    vyhodnoceni();
    truefalse->clear();
    message->clear();
    start->show();
    pokracovat->hide();
    setDirectionEnabled(true);
    vema->clear();
    if (Option1[3]->isChecked())
        clearBoard();
    stopka->hide();
    setup->show();
    setLetteringEnabled(true);
    enter->hide();
    start->setFocus();
}

void Form1::help_Click()
{
    // Nápověda itself is covered, and disabled, while a page shows: no second help_Click.
    if (!hlppic1)
        createHelpPages();
    // Above every control, the board too, whenever that was made.
    hlppic1->raise();
    hlppic2->raise();
    hlppic1->show();
    m_focusBeforeHelp = focusWidget();
    hlppic1->setFocus();
    setCoveredEnabled(false);
    // The outer height as set, not as measured: a frame measured late would come back with it.
    predhelp = m_outerHeightTwips;
    predhelpT = topTwips();
    setOuterHeightTwips(kTallHeightTwips);
    keepOnScreen(kTallHeightTwips);
}

void Form1::hlppic1_Click()
{
    hlppic1->hide();
    hlppic2->show();
    hlppic2->setFocus();
}

void Form1::closeHelp()
{
    hlppic1->hide();
    hlppic2->hide();
    setOuterHeightTwips(predhelp);
    setTopTwips(predhelpT);
    setCoveredEnabled(true);
    (m_focusBeforeHelp ? m_focusBeforeHelp.data() : help)->setFocus();
}

// Under a help page no control takes focus or acts, by keyboard, mouse or assistive tool;
// closing help gives back to each control what it had.
void Form1::setCoveredEnabled(bool enabled)
{
    if (enabled) {
        for (const QPointer<QWidget> &child : std::exchange(m_covered, {}))
            child ? child->setEnabled(true) : void();
        return;
    }
    for (QWidget *child : findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (child != hlppic1 && child != hlppic2 && child->isEnabledTo(this)) {
            m_covered.push_back(child);
            child->setEnabled(false);
        }
    }
}

void Form1::showPicture(QLabel *box, int row)
{
    const QString path = picturePath(row, koncovka, m_pictureFolder);
    box->setPixmap(m_pictures.picture(path, devicePixelRatioF()));
    if (box->pixmap().isNull() && !std::exchange(m_toldMissingPictures, true))
        tellMissingPictures(path);
}

// Once per program run, and without stopping the question: its place stays empty.
void Form1::tellMissingPictures(const QString &path)
{
    const QString folder = QDir::toNativeSeparators(m_pictureFolder);
    const QString what =
        QFileInfo::exists(m_pictureFolder)
            ? QStringLiteral("ve složce\n%1\nnení soubor %2, nebo ho nelze načíst.")
                  .arg(folder, QFileInfo(path).fileName())
            : QStringLiteral("Kelmora je hledá ve složce\n%1\na ta neexistuje.").arg(folder);
    auto *message = new QMessageBox(
        QMessageBox::Warning, QStringLiteral("Kelmora"),
        QStringLiteral("Obrázky znaků chybí: %1\n\nZkoušení jde dál, chybějící obrázky "
                       "zůstanou prázdné.")
            .arg(what),
        QMessageBox::Ok, this);
    message->setTextFormat(Qt::PlainText);
    message->setAttribute(Qt::WA_DeleteOnClose);
    message->open();
}

void Form1::clearBoard()
{
    for (PictureBox *box : obrazek) {
        box->clear();
        box->show();
    }
    focusBoard(-1);
}

// The board is one keyboard stop, the picture in `slot`; empty pictures take no focus.
void Form1::focusBoard(int slot)
{
    for (int i = 0; i < kSlots; ++i)
        obrazek[i]->setFocusPolicy(i == slot ? Qt::TabFocus : Qt::NoFocus);
    if (slot >= 0)
        obrazek[slot]->setFocus();
}

// An arrow moves to the nearest picture along the board's row or column, and never off it.
void Form1::moveOnBoard(int slot, int dx, int dy)
{
    for (int x = slot % 7 + dx, y = slot / 7 + dy; x >= 0 && x < 7 && y >= 0 && y < 3;
         x += dx, y += dy) {
        const PictureBox *box = obrazek[y * 7 + x];
        if (!box->isHidden() && !box->pixmap().isNull())
            return focusBoard(y * 7 + x);
    }
}

void Form1::setDirectionEnabled(bool enabled)
{
    Option1[0]->setEnabled(enabled);
    Option1[3]->setEnabled(enabled);
}

void Form1::setLetteringEnabled(bool enabled)
{
    Option2[0]->setEnabled(enabled);
    Option2[1]->setEnabled(enabled);
}

void Form1::setOuterHeightTwips(int twips)
{
    m_outerHeightTwips = twips;
    applyOuterHeight();
}

bool Form1::helpShown() const
{
    return hlppic1 && !(hlppic1->isHidden() && hlppic2->isHidden());
}

// The outer height includes the frame, which a window manager adds only after the window
// shows and may change later; the client area never ends above its lowest shown control, a
// help page included, whatever frame the window manager reports.
void Form1::applyOuterHeight()
{
    m_appliedFrame = frameHeight();
    int bottom = (board && !board->isHidden() ? board : start)->geometry().bottom();
    // Help keeps one height over both its pages, that of the taller.
    if (helpShown())
        bottom = qMax(hlppic1->geometry().bottom(), hlppic2->geometry().bottom());
    setFixedHeight(qMax(bottom + 1, m_outerHeightTwips / kTwipsPerPixel - m_appliedFrame));
}

bool Form1::event(QEvent *event)
{
    const bool result = QWidget::event(event);
    switch (event->type()) {
    case QEvent::Show:
    case QEvent::ShowToParent: // a decoration Qt draws itself (Wayland) is known by then
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::WinIdChange:
        // Applied once per new frame, so the window's own resize cannot loop.
        if (frameHeight() != m_appliedFrame)
            applyOuterHeight();
        break;
    default: break;
    }
    return result;
}

// Never ending above the client area: weston's XWayland window manager resizes its frame after
// the client and tells no one, so Qt may keep measuring the frame of the height before a resize,
// which a grown client overhangs, until the window next changes.
int Form1::frameHeight() const
{
    return frameGeometry().united(geometry()).height() - height();
}

int Form1::outerHeightTwips() const
{
    return (height() + frameHeight()) * kTwipsPerPixel;
}

int Form1::topTwips() const
{
    return frameGeometry().top() * kTwipsPerPixel;
}

// A Wayland client can neither read nor set its place on the screen: the compositor places it.
void Form1::setTopTwips(int twips)
{
    if (!QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        move(frameGeometry().left(), twips / kTwipsPerPixel);
}

void Form1::keepOnScreen(int heightTwips)
{
    if (!screen())
        return;
    // The desktop's coordinates, whichever of several screens holds the window.
    const QRect area = screen()->availableGeometry();
    const int top = topTwips();
    // Taller than asked where the frame would otherwise cut the lowest control; on a screen too
    // short for the window the title bar stays within reach rather than the bottom.
    const int kept = qMax(keptOnScreenTop(top, qMax(heightTwips, outerHeightTwips()),
                                          (area.bottom() + 1) * kTwipsPerPixel),
                          area.top() * kTwipsPerPixel);
    if (kept != top)
        setTopTwips(kept);
}

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    // The answer box's Enter goes on to the window (keyPressEvent).
    if (watched == zadano && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (!isEnter(key) && !key->text().isEmpty())
            zadano_KeyPress(key->text().at(0).unicode());
    }
    return QWidget::eventFilter(watched, event);
}

void Form1::keyPressEvent(QKeyEvent *event)
{
    QWidget *focused = focusWidget();
    const auto slot =
        focused ? std::find(obrazek.begin(), obrazek.end(), focused) - obrazek.begin() : kSlots;
    const QPoint arrow = event->key() == Qt::Key_Left    ? QPoint(-1, 0)
                         : event->key() == Qt::Key_Right ? QPoint(1, 0)
                         : event->key() == Qt::Key_Up    ? QPoint(0, -1)
                         : event->key() == Qt::Key_Down  ? QPoint(0, 1)
                                                         : QPoint();
    if (slot < kSlots && !arrow.isNull()) {
        moveOnBoard(int(slot), arrow.x(), arrow.y());
        return;
    }
    if (isEnter(event)) {
        // Enter presses the focused button, else "Pokračovat" while it shows, as a dialog's
        // default button would, else it judges the typed answer.
        auto *button = qobject_cast<QPushButton *>(focused);
        if (button && !button->isHidden())
            return button->click();
        if (!pokracovat->isHidden())
            return pokracovat->click();
        if (focused == zadano)
            return zadano_KeyPress(13);
    }
    // Escape closes help, as it closes what covers a window anywhere.
    if (event->key() == Qt::Key_Escape && helpShown())
        return closeHelp();
    QWidget::keyPressEvent(event);
}

} // namespace kelmora
