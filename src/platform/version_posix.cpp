#include "platform/version.h"
#include "version_values.h"

namespace kw39::platform {

std::string ReadProductVersion() { return KW39_PRODUCT_VERSION_TEXT; }
std::string ReadFileVersion() { return KW39_FILE_VERSION_TEXT; }

}  // namespace kw39::platform
