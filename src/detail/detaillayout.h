#pragma once

#include <QRect>

#include <array>

namespace vimbrel {

// The detail window's geometry in twips of its client area.
struct DetailGeometry
{
    static constexpr int DesignWidth = 15810;
    static constexpr int DesignHeight = 8730;
    static constexpr int ButtonCount = 6;

    QRect web;
    std::array<QRect, ButtonCount> cmd; // Cmd(0) .. Cmd(5)
    QRect cmb;                          // the focus sink, out of sight

    [[nodiscard]] static DetailGeometry design();

    bool operator==(const DetailGeometry &) const = default;
};

// The resize rules for an inner area of innerWidth x innerHeight twips: the view fills the
// window above the button row, the buttons keep to the bottom edge. A width or height that
// would be negative is not applied; the view keeps its previous one.
[[nodiscard]] DetailGeometry resized(const DetailGeometry &previous, int innerWidth,
                                     int innerHeight);

} // namespace vimbrel
