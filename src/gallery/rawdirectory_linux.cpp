#include "gallery/rawdirectory.h"

#include <cerrno>
#include <sys/syscall.h>
#include <unistd.h>

namespace vimbrel {

namespace RawDirectory {

bool readAll(int fd, std::vector<char> &buffer, std::size_t &used)
{
    constexpr std::size_t Chunk = 64 * 1024;
    used = 0;
    for (;;) {
        if (buffer.size() < used + Chunk)
            buffer.resize(used + Chunk);
        const long n = syscall(SYS_getdents64, fd, buffer.data() + used, Chunk);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return used > 0;
        }
        if (n == 0)
            return true;
        used += static_cast<std::size_t>(n);
    }
}

} // namespace RawDirectory

} // namespace vimbrel
