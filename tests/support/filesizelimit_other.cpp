#include "filesizelimit.h"

namespace vimbrel {

struct FileSizeLimit::Saved
{
};

FileSizeLimit::FileSizeLimit(qint64) {}

FileSizeLimit::~FileSizeLimit() = default;

} // namespace vimbrel
