#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QMenu;
class QPoint;
class QWidget;

namespace vimbrel {

// The window's menu over a picture of its view: copy the picture's address, open it in the
// desktop's browser, save it. The window says what opening and saving mean for it.
class PictureMenu : public QObject
{
    Q_OBJECT
public:
    using Command = std::function<void(const QString &address)>;

    PictureMenu(QWidget *window, Command open, Command save);

    // Shows the menu for the picture at a position on the screen; returns at once.
    void popup(const QString &address, const QPoint &globalPosition);
    [[nodiscard]] QMenu *menu() const { return m_menu; }

private:
    QMenu *m_menu = nullptr;
    QString m_address; // the picture the menu was opened over
};

} // namespace vimbrel
