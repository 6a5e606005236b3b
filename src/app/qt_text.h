#pragma once

// Between the core's UTF-16 text and Qt's. Both are UTF-16, so nothing is lost either way.

#include <QString>
#include <QStringList>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

namespace m2v::app {

inline QString ToQString(std::u16string_view text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::u16string ToU16(const QString& text) { return text.toStdU16String(); }

// Names in the order the platform's list controls show them: alphabetical, letter case aside.
inline QStringList SortedCaseBlind(const std::vector<std::u16string>& names) {
  QStringList sorted;
  sorted.reserve(static_cast<qsizetype>(names.size()));
  for (const std::u16string& name : names) sorted.append(ToQString(name));
  std::stable_sort(sorted.begin(), sorted.end(), [](const QString& a, const QString& b) {
    return QString::compare(a, b, Qt::CaseInsensitive) < 0;
  });
  return sorted;
}

}  // namespace m2v::app
