#pragma once

namespace vimbrel {

// Makes the heap hand large blocks (decoded pictures, file contents) back to the system when
// they are freed. The C library otherwise raises its mapping threshold to the largest block
// freed so far and keeps such blocks in each thread's heap afterwards: a session that made a
// page of previews kept some 16 MB it no longer used. Call once, before any thread starts.
void returnLargeBlocksToTheSystem();

} // namespace vimbrel
