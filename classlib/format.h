// printf-style formatting into a std::string, for message templates such as "Index %d is out of range".
#pragma once

#include <string>

namespace classlib {

std::string Format(const char* pattern, ...) __attribute__((format(gnu_printf, 1, 2)));

}  // namespace classlib
