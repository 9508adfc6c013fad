#pragma once

#include <QPointer>
#include <QUrl>
#include <QWidget>

#include "platform/shell.h"

namespace vimbrel {

class DesktopShell : public Shell
{
public:
    explicit DesktopShell(QWidget *parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget *parent) { m_parent = parent; }

    bool open(const QString &target) override;
    bool startProgram(const QString &program, const QStringList &arguments) override;
    [[nodiscard]] bool hasProgram(const QString &program) const override;
    void about(const QString &title, const QString &text, const QIcon &icon) override;

    // The address handed to the desktop for a target: local paths become file URLs.
    [[nodiscard]] static QUrl urlForTarget(const QString &target);
    // Does the desktop name a default program for this address? Asked before handing it over,
    // since the launcher itself may start fine and then find nothing to run.
    [[nodiscard]] static bool hasDefaultProgram(const QUrl &url);

private:
    QPointer<QWidget> m_parent;
};

} // namespace vimbrel
