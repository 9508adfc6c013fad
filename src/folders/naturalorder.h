#pragma once

#include <QStringView>

#include <string>
#include <string_view>

namespace vimbrel {

// File-manager order: case-insensitive, runs of digits compared by value ("IMG2" < "IMG10").
// Ties are broken by plain comparison so the order is total.
[[nodiscard]] bool naturalLess(QStringView a, QStringView b);

// The same order on file names as the file system stores them (UTF-8, decoded the way
// QFile::decodeName does), without building QStrings: plain ASCII names are compared in
// place, others are decoded into a stack buffer.
[[nodiscard]] bool naturalLess(std::string_view a, std::string_view b);

// Appends to key the bytes that order the stored name as naturalLess does when keys are
// compared as plain bytes: sorting many names, each is folded once instead of in every
// comparison.
void appendNaturalSortKey(std::string &key, std::string_view storedName);

} // namespace vimbrel
