#include "platform/memory.h"

namespace kw39::platform {

// Windows commits the pages of a heap block when it is allocated and has no
// call that backs them ahead of the first write; they fault in as written.
void PrefaultForWriting(void*, std::size_t) noexcept {}

}  // namespace kw39::platform
