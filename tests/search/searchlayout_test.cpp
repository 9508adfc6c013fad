#include "search/searchlayout.h"

#include <gtest/gtest.h>

namespace vimbrel {
namespace {

SearchGeometry atDesignSize(bool resultsShown = false)
{
    return resized(SearchGeometry::design(), SearchGeometry::DesignWidth,
                   SearchGeometry::DesignHeight, resultsShown);
}

TEST(SearchLayout, AtTheDesignSize)
{
    const SearchGeometry g = atDesignSize();
    EXPECT_EQ(g.web0, QRect(45, 1030, 14500, 6385));
    for (const QRect &lab : g.labs)
        EXPECT_EQ(lab.top(), 7410);
    EXPECT_EQ(g.labs[6].width(), 3030);
    EXPECT_EQ(g.labs[0], QRect(0, 7410, 7095, 255));
    EXPECT_EQ(g.textUrl, QRect(780, 700, 9280, 300));
    EXPECT_EQ(g.cmdGo.left(), 10080);
    EXPECT_EQ(g.cmbSearch.left(), 10460);
    EXPECT_EQ(g.cmdSearch.left(), 13450);
    EXPECT_EQ(g.cmdSearch.top(), 690);
    // The results view waits 200 beyond the right edge, or sits at 40 when shown.
    EXPECT_EQ(g.web1, QRect(14780, 1030, 14500, 6385));
    EXPECT_EQ(atDesignSize(true).web1, QRect(40, 1030, 14500, 6385));
}

TEST(SearchLayout, ControlsThatNeverMoveKeepTheirDesignPlace)
{
    const SearchGeometry g = resized(atDesignSize(), 30000, 20000, true);
    EXPECT_EQ(g.rect(SearchControl::Opt1), QRect(850, 30, 795, 650));
    EXPECT_EQ(g.rect(SearchControl::Command9), QRect(13080, 30, 795, 650));
    EXPECT_EQ(g.rect(SearchControl::LabPro), QRect(14040, 405, 195, 285));
    EXPECT_EQ(g.rect(SearchControl::Cmb), QRect(-2000, 6480, 1470, 300));
    EXPECT_EQ(g.rect(SearchControl::Lab2), QRect(7410, 19745, 1695, 255));
    EXPECT_EQ(g.rect(SearchControl::CmbSearch), g.cmbSearch);
    EXPECT_EQ(SearchGeometry::design().rect(SearchControl::CmdGo), QRect(8475, 700, 330, 270));
    EXPECT_EQ(SearchGeometry::designRect(SearchControl::Web1),
              SearchGeometry::designRect(SearchControl::Web0));
}

TEST(SearchLayout, BelowTheNarrowestWidthsControlsKeepTheirLastValues)
{
    const SearchGeometry narrow = resized(atDesignSize(), 11000, 7000, false);
    EXPECT_EQ(narrow.labs[6].width(), 3030); // 11000 - 11550 < 0: kept
    EXPECT_EQ(narrow.textUrl.width(), 5700);
    EXPECT_EQ(narrow.cmdGo.left(), 6500);
    EXPECT_EQ(narrow.cmbSearch.left(), 6880);
    EXPECT_EQ(narrow.cmdSearch.left(), 9870);
    EXPECT_EQ(narrow.web0.width(), 10920);

    const SearchGeometry narrower = resized(narrow, 5000, 7000, false);
    EXPECT_EQ(narrower.textUrl.width(), 5700); // kept, and CmdGo is placed from it
    EXPECT_EQ(narrower.cmdGo.left(), 6500);
    EXPECT_EQ(narrower.cmbSearch.left(), 6880);
    EXPECT_EQ(narrower.cmdSearch.left(), 3870);
    EXPECT_EQ(narrower.web1.left(), 5200);

    // Minimised: sizes stay, positions still follow.
    const SearchGeometry tiny = resized(narrower, 0, 0, true);
    EXPECT_EQ(tiny.web0.size(), QSize(4920, 5720));
    EXPECT_EQ(tiny.web1, QRect(40, 1030, 4920, 5720));
    EXPECT_EQ(tiny.labs[3].top(), -255);
    EXPECT_EQ(tiny.cmdSearch.left(), -1130);
    EXPECT_EQ(tiny.cmdGo.left(), 6500);
}

} // namespace
} // namespace vimbrel
