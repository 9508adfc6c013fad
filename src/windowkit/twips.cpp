#include "windowkit/twips.h"

#include "platform/rounding.h"

namespace vimbrel {

namespace {

double dpiOrDefault(double logicalDpi)
{
    return logicalDpi > 0 ? logicalDpi : 96.0;
}

} // namespace

int twipsToPixels(int twips, double logicalDpi)
{
    // Multiplied first: the product is exact, so a half pixel is seen as one.
    return roundHalfEven(twips * dpiOrDefault(logicalDpi) / 1440.0);
}

QRect twipsToPixels(const QRect &twips, double logicalDpi)
{
    return {twipsToPixels(twips.left(), logicalDpi), twipsToPixels(twips.top(), logicalDpi),
            twipsToPixels(twips.width(), logicalDpi), twipsToPixels(twips.height(), logicalDpi)};
}

int pixelsToTwips(int pixels, double logicalDpi)
{
    return roundHalfEven(pixels * 1440.0 / dpiOrDefault(logicalDpi));
}

} // namespace vimbrel
