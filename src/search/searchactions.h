#pragma once

#include "search/searchlayout.h"
#include "windowkit/actiontable.h"

class QWidget;

namespace vimbrel {

// The search window's commands.
enum class SearchCommand {
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
    ToAddress, // Ctrl+L: the keyboard focus to the address box, which has no button of its own
    Count
};

using SearchActions = Actions<SearchCommand>;

// ShowPage/ShowResults are an exclusive pair, ShowPage selected; the selected option and a
// running timed scroll show a yellow face (the view controls make the scroll pair checkable).
[[nodiscard]] SearchActions *makeSearchActions(QWidget *window, const ActionTableOptions &options);

// Where a command's button stands in the window.
[[nodiscard]] SearchControl placeOf(SearchCommand command);

} // namespace vimbrel
