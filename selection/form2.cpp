// SPDX-License-Identifier: MIT
#include "form2.h"

#include "accessibility.h"
#include "artwork.h"
#include "catalogue.h"
#include "czech.h"
#include "grlist.h"
#include "look.h"
#include "picturebox.h"
#include "vyber.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>

#include <utility>

namespace kelmora {

namespace {

const QString kTitle = QStringLiteral("Kelmora");

// One row of boxes, top to bottom: the alphabet with each extra small form below its letter.
struct Row {
    int vt; // -1: a small form only
    int mt;
    int leftLabel; // Label3 index of the name before vt
    int leftWidth;
    int rightLabel; // Label3 index of the name after mt
    int rightWidth;
    const char *name;
};

// The long right-hand names reach to the window's edge, where nothing else stands, so
// that a face wider than the one they were laid out for keeps them whole.
constexpr int kLongName = 150;

constexpr Row kRows[] = {
    {0, 0, 53, 46, 0, 46, "alfa"},
    {1, 1, 52, 46, 1, 46, "beta"},
    {2, 2, 51, 46, 2, 46, "gama"},
    {3, 3, 50, 46, 3, 46, "delta"},
    {4, 4, 49, 46, 4, 46, "epsilon"},
    {5, 5, 48, 46, 5, 46, "zéta"},
    {6, 6, 47, 46, 6, 46, "éta"},
    {7, 7, 29, 125, 24, kLongName, "theta (jako škrtnutá nula)"},
    {-1, 25, -1, 0, 7, 46, "theta"},
    {8, 8, 45, 46, 8, 46, "ióta"},
    {9, 9, 44, 46, 9, 46, "kappa"},
    {-1, 26, -1, 0, 26, kLongName, "kappa (jako psací H)"},
    {10, 10, 43, 46, 10, 46, "lambda"},
    {11, 11, 42, 46, 11, 46, "mí"},
    {12, 12, 41, 46, 12, 46, "ný"},
    {13, 13, 40, 46, 13, 46, "ksí"},
    {14, 14, 39, 46, 14, 46, "omikron"},
    {15, 15, 38, 46, 15, 46, "pí"},
    {16, 16, 37, 46, 16, 46, "ró"},
    {17, 17, 36, 46, 17, 46, "sigma"},
    {-1, 24, -1, 0, 25, kLongName, "sigma (koncová)"},
    {18, 18, 35, 46, 18, 46, "tau"},
    {19, 19, 34, 46, 19, 46, "ypsilon"},
    {20, 20, 33, 46, 20, 46, "fí"},
    {21, 21, 32, 46, 21, 46, "chí"},
    {22, 22, 31, 46, 22, 46, "psí"},
    {23, 23, 30, 46, 23, 46, "omega"},
};

constexpr int kFirstRowTop = 50;
constexpr int kRowStep = 17;
constexpr int kNamesEnd = 126; // left names are right-aligned up to here
constexpr int kVtLeft = 132;
constexpr int kMtLeft = 166;
constexpr int kRightNamesLeft = 188;

template <typename Label = QLabel>
Label *addLabel(QWidget *parent, const QString &name, const QString &caption, const QRect &geometry,
                Qt::Alignment alignment)
{
    auto *label = new Label(parent);
    label->setText(caption);
    label->setObjectName(name);
    label->setGeometry(geometry);
    label->setAlignment(alignment);
    return label;
}

QPushButton *addButton(QWidget *parent, const QString &name, const QString &caption, int top,
                       const QColor &colour)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setGeometry(272, top, 61, 20);
    button->setFont(uiFont(9.75, true));
    setColour(button, QPalette::Button, colour);
    return button;
}

QCheckBox *addBox(QWidget *parent, const QString &name, const QString &accessibleName, int left,
                  int top)
{
    auto *box = new QCheckBox(parent);
    box->setObjectName(name);
    box->setAccessibleName(accessibleName);
    // 15 pixels high: 13 would cut the indicator's lower edge.
    box->setGeometry(left, top, 15, 15);
    return box;
}

} // namespace

Form2::Form2(QLabel *zbpopis, QWidget *parent)
    : QDialog(parent)
    , m_zbpopis(zbpopis)
    , m_chooseFile([this](QFileDialog::AcceptMode mode, const QString &title) {
        return chooseWithDialog(mode, title);
    })
{
    installAccessibility();
    setWindowTitle(QStringLiteral("Nastavení"));
    setModal(true);
    setFixedSize(340, 517);
    // Every position is fixed, so the text keeps one size whatever the desktop's font.
    setFont(uiFont(8.25, false));

    auto *Label1 =
        addLabel(this, QStringLiteral("Label1"), QStringLiteral("Výběr znaků pro zkoušení"),
                 {5, -1, 250, 31}, Qt::AlignLeft | Qt::AlignTop);
    Label1->setFont(uiFont(13.5, true));
    setColour(Label1, QPalette::WindowText, QColor(0, 0, 192));

    // Created top to bottom, left to right, which makes the tab order.
    const QColor fileButtons(255, 224, 192);
    auto *sejf = addButton(this, QStringLiteral("sejf"), QStringLiteral("Uložit"), 1, fileButtons);
    auto *loud = addButton(this, QStringLiteral("loud"), QStringLiteral("Načíst"), 22, fileButtons);
    auto *ok =
        addButton(this, QStringLiteral("ok"), QStringLiteral("Použít"), 48, QColor(192, 255, 255));
    connect(sejf, &QPushButton::clicked, this, &Form2::sejf_Click);
    connect(loud, &QPushButton::clicked, this, &Form2::loud_Click);
    connect(ok, &QPushButton::clicked, this, &Form2::ok_Click);
    // Enter applies the selection, whichever button has the focus.
    for (QPushButton *button : {sejf, loud})
        button->setAutoDefault(false);
    ok->setDefault(true);

    // The column headings look like labels but act like buttons: a click, Space or Enter, or
    // an assistive tool's Press inverts their column.
    const QCursor hand(QPixmap(artwork::kRuka), artwork::kRukaHotSpot.x(),
                       artwork::kRukaHotSpot.y());
    const QRect label2Geometry[] = {{107, 27, 40, 17}, {166, 27, 33, 17}};
    const QString label2Caption[] = {QStringLiteral("velké"), QStringLiteral("malé")};
    for (int index = 0; index < 2; ++index) {
        auto *heading =
            addLabel<PictureBox>(this, QStringLiteral("Label2%1").arg(index), label2Caption[index],
                                 label2Geometry[index], Qt::AlignLeft | Qt::AlignTop);
        heading->setAccessibleName(label2Caption[index]);
        heading->setFont(uiFont(9.75, true));
        setColour(heading, QPalette::WindowText, QColor(192, 0, 0));
        heading->setToolTip(QStringLiteral("Při kliku na tento nápis se invertuje výběr."));
        heading->setCursor(hand);
        heading->setFocusPolicy(Qt::TabFocus);
        connect(heading, &PictureBox::clicked, this, [this, index] { Label2_Click(index); });
    }

    for (int k = 0; k < int(std::size(kRows)); ++k) {
        const Row &row = kRows[k];
        const int top = kFirstRowTop + kRowStep * k;
        const int labelHeight = k == 0 ? 15 : 16;
        const QString name = QString::fromUtf8(row.name);
        if (row.vt >= 0) {
            addLabel(this, QStringLiteral("Label3%1").arg(row.leftLabel), name,
                     {kNamesEnd - row.leftWidth, top - 1, row.leftWidth, labelHeight},
                     Qt::AlignRight | Qt::AlignVCenter);
            vt[row.vt] = addBox(this, QStringLiteral("vt%1").arg(row.vt),
                                QStringLiteral("velké ") + name, kVtLeft, top);
        }
        mt[row.mt] = addBox(this, QStringLiteral("mt%1").arg(row.mt),
                            QStringLiteral("malé ") + name, kMtLeft, top);
        addLabel(this, QStringLiteral("Label3%1").arg(row.rightLabel), name,
                 {kRightNamesLeft, top - 1, row.rightWidth, labelHeight},
                 Qt::AlignLeft | Qt::AlignVCenter);
    }

    Form_Load();
}

void Form2::setFileChooser(FileChooser chooser)
{
    m_chooseFile = std::move(chooser);
}

void Form2::done(int result)
{
    QDialog::done(result);
    Form_Unload();
}

void Form2::Form_Load()
{
    zaskrtej();
}

void Form2::Form_Unload()
{
    m_zbpopis->setText(zbyvaCaption(pocetznaku));
}

void Form2::Form_Terminate()
{
    m_zbpopis->setText(zbyvaCaption(pocetznaku));
}

void Form2::zaskrtej()
{
    pocetznaku = 0;
    for (int i = 0; i < int(mt.size()); ++i) {
        mt[i]->setChecked(vyber().isSelected(i + 1));
        pocetznaku += mt[i]->isChecked();
    }
    for (int i = 0; i < int(vt.size()); ++i) {
        vt[i]->setChecked(vyber().isSelected(kSmallRows + i + 1));
        pocetznaku += vt[i]->isChecked();
    }
}

void Form2::Label2_Click(int Index)
{
    auto invert = [](QCheckBox *box) { box->setChecked(!box->isChecked()); };
    if (Index == 0)
        std::for_each(vt.begin(), vt.end(), invert);
    else
        std::for_each(mt.begin(), mt.end(), invert);
}

void Form2::ok_Click()
{
    pocetznaku = applyBoxes();
    if (pocetznaku != 0) {
        accept();
        Form_Terminate();
        return;
    }
    QMessageBox message(QMessageBox::NoIcon, kTitle,
                        QStringLiteral("Ke zkoušení je potřeba vybrat alespoň 1 znak."),
                        QMessageBox::Ok, this);
    message.exec();
}

void Form2::sejf_Click()
{
    const QString fileName =
        m_chooseFile(QFileDialog::AcceptSave, QStringLiteral("Uložit výběr řeckých znaků"));
    // Cancelled, nothing changes; going ahead, the boxes become the flags even when the file
    // then fails.
    if (fileName.isEmpty())
        return;
    applyBoxes();
    const GrlistResult result = saveListFile(vyber(), fileName);
    if (!result.ok())
        showFailure(this, result, fileName, true);
}

void Form2::loud_Click()
{
    const QString fileName =
        m_chooseFile(QFileDialog::AcceptOpen, QStringLiteral("Načíst výběr řeckých znaků"));
    if (fileName.isEmpty())
        return;
    loadList(fileName, this, [this] { zaskrtej(); });
}

void Form2::loadList(const QString &fileName, QWidget *window, const std::function<void()> &loaded)
{
    const GrlistResult result = loadListFile(vyber(), fileName);
    // The lines before a bad one are in force; a file refused as a whole changed no flag,
    // and the user's unapplied ticks stay.
    if (result.ok() || result.error == GrlistResult::Error::RowOutOfRange)
        loaded();
    if (!result.ok())
        showFailure(window, result, fileName, false);
}

int Form2::applyBoxes()
{
    int ticked = 0;
    const auto write = [&ticked](QCheckBox *box, int row, int column) {
        vyber().setCell(row, column, box->isChecked() ? QStringLiteral("z") : QStringLiteral("n"));
        ticked += box->isChecked();
    };
    for (int i = 0; i < int(mt.size()); ++i)
        write(mt[i], i + 1, 1);
    for (int i = 0; i < int(vt.size()); ++i)
        write(vt[i], i + 1, 2);
    vyber().markUnusedCells();
    return ticked;
}

QString Form2::chooseWithDialog(QFileDialog::AcceptMode mode, const QString &title)
{
    QFileDialog dialog(this, title);
    dialog.setObjectName(QStringLiteral("dialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    showCzechFileDetails(dialog);
    // Qt takes the patterns from the last parentheses and shows the whole text.
    dialog.setNameFilter(QStringLiteral("Seznam řeckých znaků (*.grlist)"));
    dialog.setAcceptMode(mode);
    // A name typed without the extension gets it when saving; loading takes the name as typed.
    if (mode == QFileDialog::AcceptSave)
        dialog.setDefaultSuffix(QStringLiteral("grlist"));
    else
        dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles().value(0);
}

void Form2::showFailure(QWidget *window, const GrlistResult &result, const QString &fileName,
                        bool saving)
{
    const QString heading = saving ? QStringLiteral("Výběr znaků se nepodařilo uložit do souboru")
                                   : QStringLiteral("Výběr znaků se nepodařilo načíst ze souboru");
    QMessageBox message(
        QMessageBox::Warning, kTitle,
        QStringLiteral("%1\n%2\n\n%3")
            .arg(heading, QDir::toNativeSeparators(fileName), failureText(result, saving)),
        QMessageBox::Ok, window);
    // A file name is no markup.
    message.setTextFormat(Qt::PlainText);
    message.exec();
}

} // namespace kelmora
