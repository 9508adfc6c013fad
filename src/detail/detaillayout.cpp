#include "detail/detaillayout.h"

namespace vimbrel {

DetailGeometry DetailGeometry::design()
{
    DetailGeometry g;
    g.web = QRect(50, 50, 9255, 6735);
    const int lefts[ButtonCount] = {2280, 6600, 8040, 3720, 11040, 12600};
    for (int i = 0; i < ButtonCount; ++i)
        g.cmd[i] = QRect(lefts[i], 8160, 1300, 495);
    g.cmb = QRect(-3240, 3120, 1470, 300);
    return g;
}

DetailGeometry resized(const DetailGeometry &previous, int innerWidth, int innerHeight)
{
    DetailGeometry g = previous;
    if (innerWidth - 100 >= 0)
        g.web.setWidth(innerWidth - 100);
    if (innerHeight - 650 >= 0)
        g.web.setHeight(innerHeight - 650);
    for (QRect &cmd : g.cmd)
        cmd.moveTop(innerHeight - 550);
    return g;
}

} // namespace vimbrel
