// SPDX-License-Identifier: MIT
#pragma once

#include <QLabel>

namespace kelmora {

// A clickable picture that remembers one whole number (the row it shows). Focused, it
// takes Space and Enter like a button; a double-click is one click.
class PictureBox : public QLabel
{
    Q_OBJECT

public:
    explicit PictureBox(QWidget *parent = nullptr);

    int stored() const { return m_stored; }
    void setStored(int value) { m_stored = value; }

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    int m_stored = 0;
    bool m_doubleClicked = false;
};

} // namespace kelmora
