#pragma once

#include <QObject>
#include <QString>

#include "search/resultlist.h"

class QWidget;
// The generated meta-object code must know QWidget * to pass it through queued connections and
// signal spies, whatever other headers happen to come first in its translation unit.
Q_MOC_INCLUDE(<QWidget>)

namespace vimbrel {

// What every search window of a run shares: the result picture list, the rotation through the
// preset addresses, and the way to the one detail window. main() makes one and hands it to each
// window.
class SearchState : public QObject
{
    Q_OBJECT
public:
    static constexpr int presetCount = 5; // entries 0..4 take turns; entry 5 never starts a window

    using QObject::QObject;

    [[nodiscard]] ResultList &results() { return m_results; }
    [[nodiscard]] const ResultList &results() const { return m_results; }

    // The preset the next window starts on: 0, 1, 2, 3, 4, 0, ...
    int nextPreset();
    [[nodiscard]] int presetIndex() const { return m_presetIndex; }

Q_SIGNALS:
    // A picture of a results page was clicked in the window from.
    void pictureRequested(const QString &address, QWidget *from);
    // "保存圖片" in a results page's picture menu: the detail window's save, for that picture.
    void pictureSaveRequested(const QString &address, QWidget *from);
    // The user wants to see a folder of saved pictures in the main window.
    void folderToShow(const QString &path);

private:
    ResultList m_results;
    int m_presetIndex = -1;
};

} // namespace vimbrel
