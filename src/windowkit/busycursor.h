#pragma once

#include <QCursor>
#include <QGuiApplication>

namespace vimbrel {

// The wait cursor for as long as this object lives; hold it in a std::optional across a long
// job that ends in a callback (emplace at the start, reset at the end).
class BusyCursor
{
public:
    BusyCursor() { QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};

} // namespace vimbrel
