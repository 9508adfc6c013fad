#pragma once

namespace vimbrel {

// "上一幅" and "下一幅": a ring over the result list's entries 0 .. count - 1.
namespace ImageWalk {

struct Step
{
    int position = 0; // the walk position after the step
    int load = -1;    // the entry to show, or -1: nothing is shown
    bool operator==(const Step &) const = default;
};

// The position a new detail window starts at.
inline constexpr int start = 1;

// One back; from the first entry (or from beyond the end of a list that has since shrunk) to
// the last. With an empty list nothing is shown.
[[nodiscard]] Step previous(int position, int count);
// One on; from the last entry to the first. With an empty list nothing is shown.
[[nodiscard]] Step next(int position, int count);

} // namespace ImageWalk

} // namespace vimbrel
