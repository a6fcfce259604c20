// SPDX-License-Identifier: MIT
#include "accessibility.h"

#include "picturebox.h"

#include <QAccessibleWidget>

namespace kelmora {

namespace {

class PictureBoxAccessible : public QAccessibleWidget
{
public:
    explicit PictureBoxAccessible(PictureBox *box)
        : QAccessibleWidget(box, QAccessible::Button)
    {}

    QStringList actionNames() const override { return {pressAction()}; }

    void doAction(const QString &actionName) override
    {
        if (actionName == pressAction() && widget()->isEnabled())
            emit static_cast<PictureBox *>(widget())->clicked();
    }
};

QAccessibleInterface *factory(const QString &className, QObject *object)
{
    if (className == QLatin1String("kelmora::PictureBox"))
        return new PictureBoxAccessible(static_cast<PictureBox *>(object));
    if (className == QLatin1String("kelmora::Form1"))
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Window);
    return nullptr;
}

} // namespace

void installAccessibility()
{
    static const bool installed = (QAccessible::installFactory(factory), true);
    Q_UNUSED(installed);
}

} // namespace kelmora
