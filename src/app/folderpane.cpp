#include "app/folderpane.h"

#include <QFrame>
#include <QTreeView>

#include "app/drivelist.h"
#include "app/foldertreemodel.h"

namespace vimbrel {

FolderPane::FolderPane(QWidget *window) : QObject(window)
{
    m_drive = new DriveList(window);
    m_drive->setObjectName(QStringLiteral("Drive1"));
    m_drive->setFocusPolicy(Qt::ClickFocus);
    connect(m_drive, &QComboBox::activated, this, [this](int index) {
        const QString root = m_drive->rootAt(index);
        if (!root.isEmpty())
            Q_EMIT folderChosen(root);
    });

    m_folders = new QTreeView(window);
    m_folders->setObjectName(QStringLiteral("Dir1"));
    m_folders->setHeaderHidden(true);
    m_folders->setUniformRowHeights(true);
    m_folders->setFocusPolicy(Qt::ClickFocus);

    m_bar = new QFrame(window);
    m_bar->setObjectName(QStringLiteral("law"));
    m_bar->setCursor(Qt::SplitHCursor);
    m_bar->setAutoFillBackground(true);

    m_drive->hide();
    m_folders->hide();
    m_bar->hide();
}

void FolderPane::setShown(bool shown)
{
    if (shown && !m_model) {
        m_model = new FolderTreeModel(this);
        m_folders->setModel(m_model);
        auto choose = [this](const QModelIndex &index) {
            if (index.isValid())
                Q_EMIT folderChosen(m_model->filePath(index));
        };
        connect(m_folders, &QTreeView::clicked, this, choose);
        connect(m_folders, &QTreeView::activated, this, choose);
        select(m_selected);
    }
    m_drive->setVisible(shown);
    m_folders->setVisible(shown);
    m_bar->setVisible(shown);
}

void FolderPane::select(const QString &folder)
{
    m_selected = folder;
    m_drive->showVolumeOf(folder);
    if (!m_model)
        return;
    const QModelIndex index = m_model->index(folder);
    if (index.isValid()) {
        m_folders->setCurrentIndex(index);
        m_folders->scrollTo(index);
    }
}

} // namespace vimbrel
