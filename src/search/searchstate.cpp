#include "search/searchstate.h"

namespace vimbrel {

int SearchState::nextPreset()
{
    ++m_presetIndex;
    if (m_presetIndex >= presetCount || m_presetIndex < 0)
        m_presetIndex = 0;
    return m_presetIndex;
}

} // namespace vimbrel
