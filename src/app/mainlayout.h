#pragma once

#include <array>

namespace vimbrel {

// The main window's geometry in twips of its client area, kept as the window's controls hold
// it. Each rule sets what it can: a width or height that would be negative is not applied and
// the control keeps its old value, as a minimised window needs.
struct TwipRect
{
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    [[nodiscard]] int right() const { return left + width; }
    bool operator==(const TwipRect &) const = default;
};

class MainLayout
{
public:
    static constexpr int DesignWidth = 12420;
    static constexpr int DesignHeight = 7665;
    static constexpr int ToolTop = 30;
    static constexpr int ToolWidth = 795;
    static constexpr int ToolHeight = 650;
    static constexpr int LabelHeight = 255;
    static constexpr int BarWidth = 50;
    static constexpr int ButtonCount = 18;
    static constexpr std::array<int, ButtonCount> ButtonLefts = {
        0,    840,  1680, 2640,  3480,  4440,  5280,  6240,  7080,
        8040, 8880, 9720, 10680, 11520, 12480, 13320, 14295, 15165};
    static constexpr std::array<int, 7> LabelLefts = {0, 7095, 7410, 9120, 9435, 11205, 11520};
    static constexpr std::array<int, 7> LabelWidths = {7095, 300, 1695, 300, 1815, 300, 975};

    MainLayout();

    // Form_Resize: W and H are the client area's size.
    void resize(int width, int height);
    // ChkFace_Click with the button's new state.
    void setPaneShown(bool shown);
    [[nodiscard]] bool paneShown() const { return m_paneShown; }

    // The splitter bar: x is the pointer's position relative to the bar's left edge; buttons
    // is the mask of pressed buttons (1 = left only). Returns true when the bar moved.
    bool dragMove(int buttons, int x);
    // Release over the bar: the pane takes the bar's position. The bar is kept inside the
    // client area first, so neither the pane nor the view gets a negative width.
    void drop();
    [[nodiscard]] bool dragging() const { return m_dragging; }

    [[nodiscard]] const TwipRect &drive() const { return m_drive; }
    [[nodiscard]] const TwipRect &folders() const { return m_folders; }
    [[nodiscard]] const TwipRect &bar() const { return m_bar; }
    [[nodiscard]] const TwipRect &web() const { return m_web; }
    [[nodiscard]] TwipRect label(int index) const;
    [[nodiscard]] int clientWidth() const { return m_width; }
    [[nodiscard]] int clientHeight() const { return m_height; }

private:
    void placeWebBesidePane();

    int m_width = DesignWidth;
    int m_height = DesignHeight;
    bool m_paneShown = false;
    bool m_dragging = false;
    TwipRect m_drive{45, 700, 1815, 300};
    TwipRect m_folders{45, 1020, 2535, 2190};
    TwipRect m_bar{11000, 700, BarWidth, 5175};
    TwipRect m_web{45, 700, 10335, 5175};
    int m_labelTop = DesignHeight - LabelHeight;
    int m_lastLabelWidth = 975;
};

} // namespace vimbrel
