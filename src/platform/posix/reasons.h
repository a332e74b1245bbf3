// French words for the system's error numbers: no English text reaches a user.
#pragma once

#include <string>

namespace platform::posix {

std::string FrenchReason(int error);

}  // namespace platform::posix
