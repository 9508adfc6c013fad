#pragma once

#include <QRect>

#include <array>

namespace vimbrel {

// Every control of the search window, for its design rectangle.
enum class SearchControl {
    Opt0,
    Opt1,
    CmdPage0,
    CmdPage1,
    Command1,
    Command2,
    Command5,
    BigP0,
    BigP1,
    MoveUp0,
    MoveUp1,
    ImgComb,
    Command7,
    Command10,
    Command9,
    LabPro,
    Label1,
    TextUrl,
    CmdGo,
    CmbSearch,
    CmdSearch,
    Web0,
    Web1,
    Lab0,
    Lab1,
    Lab2,
    Lab3,
    Lab4,
    Lab5,
    Lab6,
    Cmb,
    Count
};

// The search window's geometry in twips of its client area: the controls that move on a
// resize. Everything else keeps its design rectangle.
struct SearchGeometry
{
    static constexpr int DesignWidth = 14580;
    static constexpr int DesignHeight = 7665;

    QRect web0;
    QRect web1;
    std::array<QRect, 7> labs;
    QRect textUrl;
    QRect cmdGo;
    QRect cmbSearch;
    QRect cmdSearch;

    // The window as designed (the results view at the page view's place).
    [[nodiscard]] static SearchGeometry design();
    // Any control's design rectangle.
    [[nodiscard]] static QRect designRect(SearchControl control);
    // A control's current rectangle: the moving ones from here, the others as designed.
    [[nodiscard]] QRect rect(SearchControl control) const;

    bool operator==(const SearchGeometry &) const = default;
};

// The resize rules for an inner area of innerWidth x innerHeight twips. A width or height that
// would be negative is not applied (the control keeps its previous value) and the rules that
// place a control from another's width use the value kept.
[[nodiscard]] SearchGeometry resized(const SearchGeometry &previous, int innerWidth,
                                     int innerHeight, bool resultsShown);

} // namespace vimbrel
