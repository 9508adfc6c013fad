// Windows asks a program to end through its windows, which Qt already turns into closes.
#include "platform/quitsignals.h"

namespace vimbrel {

QuitSignals::QuitSignals(QObject *parent) : QObject(parent) {}

QuitSignals::~QuitSignals() = default;

} // namespace vimbrel
