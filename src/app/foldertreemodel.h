#pragma once

#include <QAbstractItemModel>
#include <QIcon>

#include <memory>
#include <vector>

namespace vimbrel {

// Dir1's model: the folder tree below the file-system roots, folders only. A folder's children
// are read when the tree first opens it, from the directory entries' types, so a folder of
// twenty thousand pictures costs one directory read and no call per picture. Hidden folders
// are left out, as the folder list always did.
class FolderTreeModel : public QAbstractItemModel
{
    Q_OBJECT
public:
    explicit FolderTreeModel(QObject *parent = nullptr);
    ~FolderTreeModel() override;

    // The index of a folder, reading the folders on the way down; invalid when not there.
    [[nodiscard]] QModelIndex index(const QString &folder);
    [[nodiscard]] QString filePath(const QModelIndex &index) const;

    [[nodiscard]] QModelIndex index(int row, int column,
                                    const QModelIndex &parent = QModelIndex()) const override;
    [[nodiscard]] QModelIndex parent(const QModelIndex &child) const override;
    [[nodiscard]] int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    [[nodiscard]] int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;
    [[nodiscard]] bool hasChildren(const QModelIndex &parent = QModelIndex()) const override;
    [[nodiscard]] bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

private:
    struct Node;
    [[nodiscard]] Node *nodeOf(const QModelIndex &index) const;
    void read(Node *node, const QModelIndex &index);

    std::unique_ptr<Node> m_root;
    QIcon m_folderIcon;
};

} // namespace vimbrel
