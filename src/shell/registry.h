#pragma once

#include <QString>

namespace vimbrel {

enum class RegistryRoot { ClassesRoot, LocalMachine };

// The two registry operations the Windows folder verb is built on. Key paths use backslashes
// ("Directory\shell\ulvo\command"); the value name "" is the key's default value. Failures are
// not reported: a step that cannot be done has no effect and the caller goes on.
class Registry
{
public:
    virtual ~Registry() = default;

    // Opens the key (creating it and its missing parents) and sets a string value.
    virtual void setRegString(RegistryRoot root, const QString &keyPath, const QString &valueName,
                              const QString &text) = 0;
    // Deletes a key that has no subkeys.
    virtual void deleteRegKey(RegistryRoot root, const QString &keyPath) = 0;
};

} // namespace vimbrel
