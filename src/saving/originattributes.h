#pragma once

#include <QSet>
#include <QString>

class QFile;

namespace vimbrel {

// Where a saved picture came from, in the extended attributes desktops read for downloads
// ("user.xdg.origin.url", "user.xdg.referrer.url"). Where the file system or the platform has
// no such attributes, nothing is recorded and nothing fails.
class OriginAttributes
{
public:
    // file: open; addresses that are empty, or not web or file addresses, are left out.
    static void record(QFile &file, const QString &origin, const QString &referrer);
    // The recorded value, empty when there is none.
    [[nodiscard]] static QString read(const QString &path, const char *name);
    // The origins recorded by the files directly in the folder.
    [[nodiscard]] static QSet<QString> originsIn(const QString &folder);
};

} // namespace vimbrel
