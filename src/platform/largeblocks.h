#pragma once

namespace vimbrel {

// Makes the heap hand large blocks (decoded pictures, file contents) back to the system when
// they are freed. The C library otherwise raises its mapping threshold to the largest block
// freed so far and keeps such blocks in each thread's heap afterwards: a session that made a
// page of previews kept some 16 MB it no longer used. Call once, before any thread starts.
void returnLargeBlocksToTheSystem();

// Hands the heap's free pages back to the system after a job that held much memory for a while
// (a saving run): the many small blocks network buffers are made of stay in the heap otherwise.
void giveBackFreeMemory();

} // namespace vimbrel
