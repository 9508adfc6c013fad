#pragma once

#include <QComboBox>

namespace vimbrel {

// Drive1: the mounted volumes, read again each time the list is opened so that a volume
// mounted while the program runs shows up. Item data is the volume's root path.
class DriveList : public QComboBox
{
    Q_OBJECT
public:
    explicit DriveList(QWidget *parent = nullptr);

    // Reads the volumes again, keeping the current one selected when it is still there.
    void refresh();
    // Selects the volume holding path, without running the change handler.
    void showVolumeOf(const QString &path);
    [[nodiscard]] QString rootAt(int index) const;

    void showPopup() override;
};

} // namespace vimbrel
