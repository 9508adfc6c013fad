#pragma once

#include <QObject>
#include <QString>

class QFrame;
class QTreeView;
class QWidget;

namespace vimbrel {

class DriveList;
class FolderTreeModel;

// The main window's folder pane: the drive list Drive1, the folder tree Dir1 and the splitter
// bar law, children of the window, which places them. The tree gets its model when the pane is
// first shown, so a hidden pane reads no folder at all.
class FolderPane : public QObject
{
    Q_OBJECT
public:
    explicit FolderPane(QWidget *window);

    [[nodiscard]] DriveList *drive() const { return m_drive; }
    [[nodiscard]] QTreeView *folders() const { return m_folders; }
    [[nodiscard]] QFrame *bar() const { return m_bar; }

    void setShown(bool shown);
    // Points the drive list and (once made) the tree at the folder, running nothing.
    void select(const QString &folder);

Q_SIGNALS:
    // The user picked a folder in the tree or a drive in the list.
    void folderChosen(const QString &path);

private:
    DriveList *m_drive = nullptr;
    QTreeView *m_folders = nullptr;
    FolderTreeModel *m_model = nullptr;
    QFrame *m_bar = nullptr;
    QString m_selected;
};

} // namespace vimbrel
