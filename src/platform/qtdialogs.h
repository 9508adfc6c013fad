#pragma once

#include <QPointer>
#include <QWidget>

#include "platform/dialogs.h"

namespace vimbrel {

class QtDialogs : public Dialogs
{
public:
    explicit QtDialogs(QWidget *parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget *parent) { m_parent = parent; }

    std::optional<QString> inputBox(const QString &prompt, const QString &title,
                                    const QString &defaultAnswer) override;
    void messageBox(const QString &text, const QString &title, MessageIcon icon) override;
    std::optional<QString> openFile(const QString &title, const QString &folder,
                                    const QString &filter) override;
    std::optional<QString> saveFile(const QString &title, const QString &filter,
                                    const QString &defaultName) override;
    bool question(const QString &text, const QString &title) override;
    std::optional<QString> browseFolder(const QString &prompt, const QString &start) override;
    std::unique_ptr<Dialogs> ownedBy(QWidget *owner) override;

private:
    QPointer<QWidget> m_parent;
};

} // namespace vimbrel
