#pragma once

#include <QStringView>

// File-manager order: case-insensitive, runs of digits compared by value ("IMG2" < "IMG10").
// Ties are broken by plain comparison so the order is total.
[[nodiscard]] bool naturalLess(QStringView a, QStringView b);
