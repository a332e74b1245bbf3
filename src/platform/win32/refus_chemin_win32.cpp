// Windows follows its own links under its own access rules: nothing is refused
// on the way beyond what the calls themselves report.
#include "platform/platform.h"

namespace platform {

std::string PathRefusal(const std::string&) { return {}; }

}  // namespace platform
