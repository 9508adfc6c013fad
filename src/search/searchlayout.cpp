#include "search/searchlayout.h"

namespace vimbrel {

namespace {

constexpr std::array<QRect, std::size_t(SearchControl::Count)> DesignRects = {
    QRect(45, 30, 795, 650),       // Opt0
    QRect(850, 30, 795, 650),      // Opt1
    QRect(1845, 30, 795, 650),     // CmdPage0
    QRect(2715, 30, 795, 650),     // CmdPage1
    QRect(3720, 30, 795, 650),     // Command1
    QRect(4680, 30, 795, 650),     // Command2
    QRect(5520, 30, 795, 650),     // Command5
    QRect(6480, 30, 795, 650),     // BigP0
    QRect(7320, 30, 795, 650),     // BigP1
    QRect(8280, 30, 795, 650),     // MoveUp0
    QRect(9120, 30, 795, 650),     // MoveUp1
    QRect(10200, 30, 795, 650),    // ImgComb
    QRect(11040, 30, 795, 650),    // Command7
    QRect(11880, 30, 795, 650),    // Command10
    QRect(13080, 30, 795, 650),    // Command9
    QRect(14040, 405, 195, 285),   // LabPro
    QRect(40, 750, 735, 255),      // Label1
    QRect(780, 700, 7575, 300),    // TextUrl
    QRect(8475, 700, 330, 270),    // CmdGo
    QRect(9840, 700, 2985, 300),   // CmbSearch
    QRect(12960, 690, 1095, 300),  // CmdSearch
    QRect(45, 1030, 10335, 5175),  // Web0
    QRect(45, 1030, 10335, 5175),  // Web1: made at load in the page view's place
    QRect(0, 6960, 7095, 255),     // Lab0
    QRect(7095, 6960, 300, 255),   // Lab1
    QRect(7410, 6960, 1695, 255),  // Lab2
    QRect(9120, 6960, 300, 255),   // Lab3
    QRect(9435, 6960, 1815, 255),  // Lab4
    QRect(11205, 6960, 300, 255),  // Lab5
    QRect(11520, 6960, 975, 255),  // Lab6
    QRect(-2000, 6480, 1470, 300), // Cmb: the focus sink, out of sight
};

void setWidth(QRect &r, int width)
{
    if (width >= 0)
        r.setWidth(width);
}

void setHeight(QRect &r, int height)
{
    if (height >= 0)
        r.setHeight(height);
}

} // namespace

QRect SearchGeometry::designRect(SearchControl control)
{
    const auto i = std::size_t(control);
    return i < DesignRects.size() ? DesignRects[i] : QRect();
}

SearchGeometry SearchGeometry::design()
{
    SearchGeometry g;
    g.web0 = designRect(SearchControl::Web0);
    g.web1 = designRect(SearchControl::Web1);
    for (int i = 0; i < 7; ++i)
        g.labs[std::size_t(i)] = designRect(SearchControl(int(SearchControl::Lab0) + i));
    g.textUrl = designRect(SearchControl::TextUrl);
    g.cmdGo = designRect(SearchControl::CmdGo);
    g.cmbSearch = designRect(SearchControl::CmbSearch);
    g.cmdSearch = designRect(SearchControl::CmdSearch);
    return g;
}

QRect SearchGeometry::rect(SearchControl control) const
{
    switch (control) {
    case SearchControl::Web0:
        return web0;
    case SearchControl::Web1:
        return web1;
    case SearchControl::TextUrl:
        return textUrl;
    case SearchControl::CmdGo:
        return cmdGo;
    case SearchControl::CmbSearch:
        return cmbSearch;
    case SearchControl::CmdSearch:
        return cmdSearch;
    default:
        break;
    }
    const int lab = int(control) - int(SearchControl::Lab0);
    if (lab >= 0 && lab < 7)
        return labs[std::size_t(lab)];
    return designRect(control);
}

SearchGeometry resized(const SearchGeometry &previous, int innerWidth, int innerHeight,
                       bool resultsShown)
{
    SearchGeometry g = previous;
    setWidth(g.web0, innerWidth - 80);
    setHeight(g.web0, innerHeight - 1280);
    // The results view waits just beyond the right edge while the page view is shown.
    g.web1.moveLeft(resultsShown ? 40 : innerWidth + 200);
    g.web1.moveTop(g.web0.top());
    g.web1.setSize(g.web0.size());
    for (QRect &lab : g.labs)
        lab.moveTop(innerHeight - 255);
    setWidth(g.labs[6], innerWidth - 11550);
    setWidth(g.textUrl, innerWidth - 5300);
    g.cmdGo.moveLeft(g.textUrl.width() + 800);
    g.cmdSearch.moveLeft(innerWidth - 1130);
    g.cmbSearch.moveLeft(g.cmdGo.left() + 380);
    return g;
}

} // namespace vimbrel
