#pragma once

#include "shell/registry.h"

namespace vimbrel {

// The Windows registry through its wide-character calls, so key paths and values keep every
// character whatever the system's code page. Writing under the machine root needs
// administrator rights; without them the call has no effect.
class WinRegistry : public Registry
{
public:
    void setRegString(RegistryRoot root, const QString &keyPath, const QString &valueName,
                      const QString &text) override;
    void deleteRegKey(RegistryRoot root, const QString &keyPath) override;
};

} // namespace vimbrel
