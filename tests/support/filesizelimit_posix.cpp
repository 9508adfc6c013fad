#include "filesizelimit.h"

#include <csignal>
#include <sys/resource.h>

namespace vimbrel {

struct FileSizeLimit::Saved
{
    rlimit limit{};
    void (*handler)(int) = SIG_DFL;
};

FileSizeLimit::FileSizeLimit(qint64 bytes)
{
    auto saved = std::make_unique<Saved>();
    if (getrlimit(RLIMIT_FSIZE, &saved->limit) != 0)
        return;
    rlimit small = saved->limit;
    small.rlim_cur = rlim_t(bytes);
    // A write past the limit then fails with EFBIG instead of ending the process.
    saved->handler = std::signal(SIGXFSZ, SIG_IGN);
    if (setrlimit(RLIMIT_FSIZE, &small) != 0) {
        std::signal(SIGXFSZ, saved->handler);
        return;
    }
    m_saved = std::move(saved);
}

FileSizeLimit::~FileSizeLimit()
{
    if (!m_saved)
        return;
    setrlimit(RLIMIT_FSIZE, &m_saved->limit);
    std::signal(SIGXFSZ, m_saved->handler);
}

} // namespace vimbrel
