#include "app/foldertreemodel.h"

#include <QApplication>
#include <QDir>
#include <QStyle>

#include <algorithm>

#include "folders/directoryreader.h"
#include "folders/naturalorder.h"
#include "platform/filenames.h"

namespace vimbrel {

struct FolderTreeModel::Node
{
    QString name;
    QString path; // ends in "/" only for a root
    Node *parent = nullptr;
    int row = 0;
    bool read = false;
    std::vector<std::unique_ptr<Node>> children;
};

FolderTreeModel::FolderTreeModel(QObject *parent)
    : QAbstractItemModel(parent), m_root(std::make_unique<Node>())
{
    m_root->read = true;
    for (const QFileInfo &drive : QDir::drives()) {
        auto node = std::make_unique<Node>();
        node->path = drive.absoluteFilePath();
        node->name = node->path;
        node->parent = m_root.get();
        node->row = int(m_root->children.size());
        m_root->children.push_back(std::move(node));
    }
    if (qobject_cast<QApplication *>(QCoreApplication::instance()))
        m_folderIcon = QApplication::style()->standardIcon(QStyle::SP_DirIcon);
}

FolderTreeModel::~FolderTreeModel() = default;

FolderTreeModel::Node *FolderTreeModel::nodeOf(const QModelIndex &index) const
{
    return index.isValid() ? static_cast<Node *>(index.internalPointer()) : m_root.get();
}

QModelIndex FolderTreeModel::index(int row, int column, const QModelIndex &parent) const
{
    const Node *node = nodeOf(parent);
    if (column != 0 || row < 0 || row >= int(node->children.size()))
        return {};
    return createIndex(row, 0, node->children[std::size_t(row)].get());
}

QModelIndex FolderTreeModel::parent(const QModelIndex &child) const
{
    const Node *node = nodeOf(child);
    if (!child.isValid() || node->parent == m_root.get())
        return {};
    return createIndex(node->parent->row, 0, node->parent);
}

int FolderTreeModel::rowCount(const QModelIndex &parent) const
{
    return parent.column() > 0 ? 0 : int(nodeOf(parent)->children.size());
}

int FolderTreeModel::columnCount(const QModelIndex &) const
{
    return 1;
}

QVariant FolderTreeModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole)
        return FileNames::readable(nodeOf(index)->name);
    if (role == Qt::DecorationRole)
        return m_folderIcon;
    return {};
}

bool FolderTreeModel::hasChildren(const QModelIndex &parent) const
{
    // Until it is read a folder offers to open; reading it only to draw the arrow would cost
    // the directory read this model exists to avoid.
    const Node *node = nodeOf(parent);
    return !node->read || !node->children.empty();
}

bool FolderTreeModel::canFetchMore(const QModelIndex &parent) const
{
    return !nodeOf(parent)->read;
}

void FolderTreeModel::fetchMore(const QModelIndex &parent)
{
    read(nodeOf(parent), parent);
}

void FolderTreeModel::read(Node *node, const QModelIndex &index)
{
    if (node->read)
        return;
    node->read = true;
    QStringList names;
    // The entry types come with the directory read: no call per file, only per link. Names
    // keep their bytes, whatever their encoding; hidden folders are left out.
    DirectoryReader reader;
    if (reader.open(FileNames::toBytes(node->path).toStdString()) && reader.read()) {
        for (const DirectoryReader::Entry &entry : reader.entries()) {
            if (entry.name.front() == '.')
                continue;
            const bool folder =
                entry.kind == DirectoryReader::Kind::Folder ||
                ((entry.kind == DirectoryReader::Kind::Link ||
                  entry.kind == DirectoryReader::Kind::Unknown) &&
                 reader.target(entry.name).value_or(DirectoryReader::Target{}).folder);
            if (folder)
                names << FileNames::fromBytes(
                    QByteArrayView(entry.name.data(), qsizetype(entry.name.size())));
        }
    }
    // The same order as the pictures: IMG2 before IMG10, case folded.
    std::sort(names.begin(), names.end(),
              [](const QString &a, const QString &b) { return naturalLess(a, b); });
    if (names.isEmpty()) {
        // The arrow goes away.
        Q_EMIT dataChanged(index, index);
        return;
    }
    beginInsertRows(index, 0, int(names.size()) - 1);
    const QString base = node->path.endsWith(u'/') ? node->path : node->path + u'/';
    for (const QString &name : std::as_const(names)) {
        auto child = std::make_unique<Node>();
        child->name = name;
        child->path = base + name;
        child->parent = node;
        child->row = int(node->children.size());
        node->children.push_back(std::move(child));
    }
    endInsertRows();
}

QModelIndex FolderTreeModel::index(const QString &folder)
{
    const QString wanted = QDir::cleanPath(QDir::fromNativeSeparators(folder));
    QModelIndex at;
    Node *node = nullptr;
    // The longest root that holds the folder (on Linux there is one, "/").
    for (const auto &root : m_root->children) {
        if (wanted.startsWith(root->path, Qt::CaseInsensitive) || wanted + u'/' == root->path) {
            node = root.get();
            at = createIndex(node->row, 0, node);
        }
    }
    if (!node)
        return {};
    const QStringList parts = wanted.mid(node->path.size()).split(u'/', Qt::SkipEmptyParts);
    for (const QString &part : parts) {
        read(node, at);
        const auto found = std::find_if(node->children.begin(), node->children.end(),
                                        [&part](const auto &child) { return child->name == part; });
        if (found == node->children.end())
            return {};
        node = found->get();
        at = createIndex(node->row, 0, node);
    }
    return at;
}

QString FolderTreeModel::filePath(const QModelIndex &index) const
{
    return index.isValid() ? nodeOf(index)->path : QString();
}

} // namespace vimbrel
