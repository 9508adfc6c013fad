#pragma once

#include <QIcon>
#include <QObject>

#include <array>
#include <functional>

#include "search/searchlayout.h"

class QAction;
class QToolButton;
class QWidget;

namespace vimbrel {

// The search window's commands, one QAction each, named after the control that offers it (the
// object name, e.g. "Opt0"), with a button for each at its design place. ShowPage/ShowResults
// are an exclusive pair, ShowPage selected; the selected option and a running timed scroll show
// a yellow face. The window only connects them.
class SearchActions : public QObject
{
    Q_OBJECT
public:
    enum Id {
        ShowPage,
        ShowResults,
        Back,
        Forward,
        SavePagePictures,
        Refresh,
        Home,
        ZoomIn,
        ZoomOut,
        ScrollUp,
        ScrollDown,
        NextBackground,
        NextMatrixMode,
        ToggleWidth,
        CaptureScreen,
        GoToAddress,
        SearchKeywords,
        Count
    };
    using IconFunction = std::function<QIcon(const QString &theme, const QString &glyph)>;

    // icon may be empty: the buttons then show their text.
    SearchActions(QWidget *window, const IconFunction &icon);

    [[nodiscard]] QAction *operator[](Id id) const { return m_actions[std::size_t(id)]; }
    [[nodiscard]] QToolButton *button(Id id) const { return m_buttons[std::size_t(id)]; }
    // Ctrl+L: the keyboard focus to the address box.
    [[nodiscard]] QAction *toAddress() const { return m_toAddress; }
    // Where each button stands in the window.
    [[nodiscard]] static SearchControl place(Id id);

private:
    std::array<QAction *, Count> m_actions{};
    std::array<QToolButton *, Count> m_buttons{};
    QAction *m_toAddress = nullptr;
};

} // namespace vimbrel
