// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>
#include <QFileDialog>

#include <array>
#include <functional>

class QCheckBox;
class QLabel;

namespace kelmora {

// The selection window "Nastavení": a box per character, ticked from vyber() on load and
// written back on "Použít"; on closing it reports the count into the main window's label.
class Form2 : public QDialog
{
    Q_OBJECT

public:
    // Asks for a file to save or load; an empty name means the user cancelled.
    using FileChooser = std::function<QString(QFileDialog::AcceptMode mode, const QString &title)>;

    // zbpopis must outlive the window.
    explicit Form2(QLabel *zbpopis, QWidget *parent = nullptr);

    // Replaces Qt's file dialog, so tests can pick the file.
    void setFileChooser(FileChooser chooser);

    // Every way of closing ends here.
    void done(int result) override;

private:
    void Form_Load();
    void Form_Unload();
    void Form_Terminate();
    void zaskrtej();
    void Label2_Click(int Index);
    void ok_Click();
    void sejf_Click();
    void loud_Click();

    int applyBoxes();
    QString chooseWithDialog(QFileDialog::AcceptMode mode, const QString &title);

    QLabel *m_zbpopis;
    FileChooser m_chooseFile;
    std::array<QCheckBox *, 27> mt{};
    std::array<QCheckBox *, 24> vt{};
    int pocetznaku = 0;
};

// "Načíst" after the name is chosen: loads the list a typed name stands for into the selection
// flags, calls loaded when any flag changed, then tells a failure in Czech over parent.
void loadSelectionList(QWidget *parent, const QString &typedName,
                       const std::function<void()> &loaded = {});

} // namespace kelmora
