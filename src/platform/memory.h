// Memory that is about to be filled from start to end.
#pragma once

#include <cstddef>

namespace kw39::platform {

// Asks the system to back the whole pages of a block just allocated, which
// will be written from its start to its end, all at once: one call in place of
// a page fault every 4 KiB. Only a hint; where the system cannot (an older
// kernel), the pages come one by one as they are first written.
void PrefaultForWriting(void* block, std::size_t size) noexcept;

}  // namespace kw39::platform
