#include "preview/previewqueue.h"

#include <algorithm>
#include <utility>

namespace vimbrel {

PreviewQueue::PreviewQueue(int threads)
{
    m_pool.setMaxThreadCount(std::max(1, threads));
}

PreviewQueue::~PreviewQueue()
{
    newPage();
    m_pool.waitForDone();
}

void PreviewQueue::newPage()
{
    ++m_page;
}

void PreviewQueue::start(std::function<void(bool current)> work)
{
    m_pool.start([this, page = m_page.load(), work = std::move(work)] { work(page == m_page); });
}

bool PreviewQueue::waitForDone(int msecs)
{
    return m_pool.waitForDone(msecs);
}

} // namespace vimbrel
