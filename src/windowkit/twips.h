#pragma once

#include <QRect>

namespace vimbrel {

// The windows' layouts are kept in twips (1/1440 inch) and placed in pixels at the screen's
// logical DPI: 15 twips a pixel at 96 DPI, 12 at 120, 10 at 144. Every window converts here,
// with one rounding rule: to the nearest pixel, halves to even. A DPI of 0 or less counts as 96.
[[nodiscard]] int twipsToPixels(int twips, double logicalDpi);
[[nodiscard]] QRect twipsToPixels(const QRect &twips, double logicalDpi);
[[nodiscard]] int pixelsToTwips(int pixels, double logicalDpi);

} // namespace vimbrel
