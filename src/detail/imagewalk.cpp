#include "detail/imagewalk.h"

namespace vimbrel {

namespace ImageWalk {

namespace {

Step at(int position, int count)
{
    // Only entries the list holds now: a slot left from an earlier, longer list is stale.
    return {position, position >= 0 && position < count ? position : -1};
}

} // namespace

Step previous(int position, int count)
{
    int p = position - 1;
    if (p < 0 || p > count - 1)
        p = count - 1;
    return at(p, count);
}

Step next(int position, int count)
{
    int p = position + 1;
    if (p > count - 1 || p < 0)
        p = 0;
    return at(p, count);
}

} // namespace ImageWalk

} // namespace vimbrel
