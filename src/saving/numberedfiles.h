#pragma once

#include <QFile>
#include <QString>
#include <QStringList>

#include <memory>

namespace vimbrel {

// The numbered picture names of a folder: "0.jpg", "1.jpg", ... Each file is created
// exclusively, so a name taken by anything at all (a file, a folder, a link even when it points
// nowhere) is passed over, also when another program takes it while we look.
class NumberedFiles
{
public:
    // The folder as the user chose it; a trailing separator is optional.
    explicit NumberedFiles(const QString &folder);

    [[nodiscard]] QString folder() const { return m_folder; }
    [[nodiscard]] QString pathOf(int number, const QString &extension = jpg()) const;
    // The extensions that share the numbers (only "jpg" unless set): a number is taken when a
    // name of it with any of them is, so no two pictures of a run are called 3.
    void setExtensions(const QStringList &extensions);
    // The number the next claim tries first.
    [[nodiscard]] int next() const { return m_next; }

    // true when something of any kind is at the path, a dangling link included.
    [[nodiscard]] static bool isTaken(const QString &path);

    struct Claim
    {
        int number = -1;
        std::unique_ptr<QFile> file; // open for writing, empty; null when nothing was created
        QString error;               // why nothing could be created (folder gone, read-only, ...)
    };
    // Creates the first free name with the extension from next() on and leaves next() at its
    // number, so a file given back with release() is tried again first.
    [[nodiscard]] Claim claim(const QString &extension = jpg());
    // Removes a claimed file again (a failed write); its number is free for the next claim.
    void release(Claim &claim);

private:
    static QString jpg() { return QStringLiteral("jpg"); }
    [[nodiscard]] bool isNumberTaken(int number, const QString &extension) const;

    QString m_folder; // with a trailing "/"
    QStringList m_extensions{jpg()};
    int m_next = 0;
};

} // namespace vimbrel
