#include "common/failure.h"

#include "common/utf.h"

namespace m2v::common {

Failure::Failure(std::u16string message)
    : std::runtime_error(Utf16ToUtf8(message)), message_(std::move(message)) {}

}  // namespace m2v::common
