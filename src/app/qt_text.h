#pragma once

// Between the core's UTF-16 text and Qt's. Both are UTF-16, so nothing is lost either way.

#include <QString>

#include <string>
#include <string_view>

namespace m2v::app {

inline QString ToQString(std::u16string_view text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::u16string ToU16(const QString& text) { return text.toStdU16String(); }

}  // namespace m2v::app
