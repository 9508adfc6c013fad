#include "app/foldertreemodel.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "platform/filenames.h"

using namespace vimbrel;

namespace {

QStringList childNames(FolderTreeModel &model, const QModelIndex &parent)
{
    if (model.canFetchMore(parent))
        model.fetchMore(parent);
    QStringList names;
    for (int row = 0; row < model.rowCount(parent); ++row)
        names << model.data(model.index(row, 0, parent), Qt::DisplayRole).toString();
    return names;
}

} // namespace

TEST(FolderTreeModel, ListsFoldersOnlyInNaturalOrderAndReadsOnDemand)
{
    QTemporaryDir dir;
    const QString root = QDir(dir.path()).canonicalPath();
    for (const char *folder : {"b", "A10", "a2", ".hidden", "b/deeper"})
        QDir(root).mkpath(QString::fromLatin1(folder));
    for (const char *file : {"p.jpg", "z.txt"}) {
        QFile f(root + u'/' + QString::fromLatin1(file));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    QFile::link(root + QStringLiteral("/b"), root + QStringLiteral("/link-to-b"));

    FolderTreeModel model;
    const QModelIndex at = model.index(root);
    ASSERT_TRUE(at.isValid());
    EXPECT_EQ(model.filePath(at), root);
    // Not read yet: it offers to open without knowing.
    EXPECT_TRUE(model.hasChildren(at));
    EXPECT_EQ(model.rowCount(at), 0);
    EXPECT_EQ(childNames(model, at),
              (QStringList{QStringLiteral("a2"), QStringLiteral("A10"), QStringLiteral("b"),
                           QStringLiteral("link-to-b")}));

    const QModelIndex b = model.index(root + QStringLiteral("/b/"));
    ASSERT_TRUE(b.isValid());
    EXPECT_EQ(model.parent(b), at);
    EXPECT_EQ(childNames(model, b), QStringList{QStringLiteral("deeper")});
    const QModelIndex a2 = model.index(root + QStringLiteral("/a2"));
    EXPECT_TRUE(childNames(model, a2).isEmpty());
    EXPECT_FALSE(model.hasChildren(a2)); // read and empty: no arrow

    EXPECT_FALSE(model.index(root + QStringLiteral("/p.jpg")).isValid());
    EXPECT_FALSE(model.index(root + QStringLiteral("/gone/deeper")).isValid());
    EXPECT_FALSE(model.index(root + QStringLiteral("/.hidden")).isValid());
}

TEST(FolderTreeModel, FolderNamesThatAreNotUtf8KeepTheirBytes)
{
    QTemporaryDir dir;
    const QByteArray root = QFile::encodeName(QDir(dir.path()).canonicalPath());
    const QList<QByteArray> folders = {"/\xB9\xCF", "/caf\xE9", "/\xEF\xBF\xBD"};
    for (const QByteArray &folder : folders)
        ASSERT_EQ(::mkdir(QByteArray(root + folder).constData(), 0700), 0);
    const auto remove = qScopeGuard([&] {
        for (const QByteArray &folder : folders)
            ::rmdir(QByteArray(root + folder).constData());
    });

    FolderTreeModel model;
    const QModelIndex at = model.index(QFile::decodeName(root));
    ASSERT_TRUE(at.isValid());
    // Shown as text a person reads; each leads to its own folder.
    EXPECT_EQ(childNames(model, at), (QStringList{QStringLiteral("caf\\xE9"), QStringLiteral("圖"),
                                                  QStringLiteral("\uFFFD")}));
    for (const QByteArray &folder : folders) {
        const QModelIndex child = model.index(FileNames::fromBytes(QByteArray(root + folder)));
        ASSERT_TRUE(child.isValid()) << folder.toHex().toStdString();
        EXPECT_EQ(FileNames::toBytes(model.filePath(child)), root + folder);
    }
}
