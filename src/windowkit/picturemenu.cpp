#include "windowkit/picturemenu.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>

namespace vimbrel {

PictureMenu::PictureMenu(QWidget *window, Command open, Command save) : QObject(window)
{
    m_menu = new QMenu(window);
    m_menu->setObjectName(QStringLiteral("PictureMenu"));
    const auto add = [this](const char *name, const QString &text, auto done) {
        QAction *action = m_menu->addAction(text);
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, [this, done] { done(m_address); });
    };
    add("CopyPictureAddress", QStringLiteral("複製圖片網址(&C)"),
        [](const QString &address) { QGuiApplication::clipboard()->setText(address); });
    add("OpenPicture", QStringLiteral("在瀏覽器中開啟圖片(&O)"), std::move(open));
    add("SavePicture", QStringLiteral("保存圖片(&S)…"), std::move(save));
}

void PictureMenu::popup(const QString &address, const QPoint &globalPosition)
{
    m_address = address;
    m_menu->popup(globalPosition);
}

} // namespace vimbrel
