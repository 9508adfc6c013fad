#include "app/mainlayout.h"

#include <gtest/gtest.h>

using namespace vimbrel;

TEST(MainLayout, HiddenPaneGivesTheViewTheWholeWidth)
{
    MainLayout layout;
    layout.resize(12000, 7000);
    EXPECT_EQ(layout.web().left, 40);
    EXPECT_EQ(layout.web().right(), 11960);
    EXPECT_EQ(layout.web().height, 7000 - 970);
    EXPECT_EQ(layout.label(6).width, 450);
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(layout.label(i).top, 7000 - 255) << i;
    EXPECT_EQ(layout.folders().height, 7000 - 1300);
}

TEST(MainLayout, ShownPaneTakesAFifth)
{
    MainLayout layout;
    layout.resize(12000, 7000);
    layout.setPaneShown(true);
    EXPECT_EQ(layout.drive().width, 2400);
    EXPECT_EQ(layout.folders().width, 2400);
    EXPECT_EQ(layout.bar().left, 2440);
    EXPECT_EQ(layout.bar().height, layout.web().height);
    EXPECT_EQ(layout.web().left, 2480);
    EXPECT_EQ(layout.web().right(), 11960);
    layout.setPaneShown(false);
    EXPECT_EQ(layout.web().left, 40);
    EXPECT_EQ(layout.web().width, 11920);
}

TEST(MainLayout, MinimisedWindowKeepsHeightsAndMovesLabelsUp)
{
    MainLayout layout;
    layout.resize(12000, 7000);
    layout.resize(0, 0);
    EXPECT_EQ(layout.folders().height, 7000 - 1300);
    EXPECT_EQ(layout.web().height, 7000 - 970);
    EXPECT_EQ(layout.label(0).top, -255);
    EXPECT_EQ(layout.label(6).width, 450); // a negative width is not taken
    EXPECT_GE(layout.web().width, 0);
}

TEST(MainLayout, SplitterFollowsOnlyTheLeftButtonAndDropsWhateverTheButton)
{
    MainLayout layout;
    layout.resize(12000, 7000);
    layout.setPaneShown(true);
    EXPECT_FALSE(layout.dragMove(2, 1000)); // right button held: no move
    EXPECT_EQ(layout.bar().left, 2440);
    EXPECT_TRUE(layout.dragMove(1, 1025)); // the bar's middle follows the pointer
    EXPECT_EQ(layout.bar().left, 3440);
    EXPECT_TRUE(layout.dragging());
    layout.drop();
    EXPECT_FALSE(layout.dragging());
    EXPECT_EQ(layout.drive().width, 3400);
    EXPECT_EQ(layout.folders().width, 3400);
    EXPECT_EQ(layout.web().left, 3490); // touches the bar's right edge after a drop
    EXPECT_EQ(layout.web().right(), 11960);

    layout.resize(12000, 7000); // a resize takes the pane back to a fifth
    EXPECT_EQ(layout.drive().width, 2400);
    EXPECT_EQ(layout.web().left, 2480);
}

TEST(MainLayout, DropKeepsTheBarInsideTheWindow)
{
    MainLayout layout;
    layout.resize(12000, 7000);
    layout.setPaneShown(true);
    layout.dragMove(1, -50000);
    layout.drop();
    EXPECT_EQ(layout.bar().left, 40);
    EXPECT_EQ(layout.drive().width, 0);
    layout.dragMove(1, 50000);
    layout.drop();
    EXPECT_EQ(layout.bar().left, 12000 - 130);
    EXPECT_GE(layout.web().width, 0);
    EXPECT_LE(layout.web().right(), 12000);

    // A window narrower than the bar's room: nothing goes negative.
    layout.resize(100, 2000);
    layout.dragMove(1, 400);
    layout.drop();
    EXPECT_GE(layout.drive().width, 0);
    EXPECT_GE(layout.web().width, 0);
}

TEST(MainLayout, ButtonsKeepTheirPlaces)
{
    EXPECT_EQ(MainLayout::ButtonLefts.front(), 0);
    EXPECT_EQ(MainLayout::ButtonLefts.back(), 15165);
    MainLayout layout;
    layout.resize(5000, 3000); // nothing about the buttons depends on the size
    EXPECT_EQ(MainLayout::ButtonLefts[12], 10680);
}
