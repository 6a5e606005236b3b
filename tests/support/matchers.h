#pragma once

#include <gmock/gmock.h>

#include <string>

namespace m2v::test {

// gmock's HasSubstr takes no UTF-16; this does.
MATCHER_P(HasText, part, "") { return std::u16string(arg).find(part) != std::u16string::npos; }

}  // namespace m2v::test
