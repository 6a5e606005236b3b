#include "text/failure.h"

#include "text/utf.h"

namespace m2v::text {

Failure::Failure(std::u16string message)
    : std::runtime_error(Utf16ToUtf8(message)), message_(std::move(message)) {}

}  // namespace m2v::text
