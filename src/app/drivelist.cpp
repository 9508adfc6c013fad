#include "app/drivelist.h"

#include <QDir>
#include <QSignalBlocker>
#include <QStorageInfo>

namespace vimbrel {

DriveList::DriveList(QWidget *parent) : QComboBox(parent)
{
    refresh();
}

void DriveList::refresh()
{
    const QSignalBlocker block(this);
    const QString current = currentData().toString();
    clear();
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid() || !volume.isReady())
            continue;
        const QString root = volume.rootPath();
        QString label = root;
        if (!volume.displayName().isEmpty() && volume.displayName() != root)
            label += QStringLiteral("  [") + volume.displayName() + QLatin1Char(']');
        addItem(label, root);
    }
    const QString systemRoot = QDir::rootPath();
    if (findData(systemRoot) < 0)
        insertItem(0, systemRoot, systemRoot);
    const int again = findData(current);
    setCurrentIndex(again >= 0 ? again : 0);
}

void DriveList::showVolumeOf(const QString &path)
{
    const QSignalBlocker block(this);
    const int index = findData(QStorageInfo(path).rootPath());
    if (index >= 0)
        setCurrentIndex(index);
}

QString DriveList::rootAt(int index) const
{
    return itemData(index).toString();
}

void DriveList::showPopup()
{
    refresh();
    QComboBox::showPopup();
}

} // namespace vimbrel
