#include "shell/winregistry.h"

#include <windows.h>

namespace vimbrel {

namespace {

HKEY rootKey(RegistryRoot root)
{
    return root == RegistryRoot::ClassesRoot ? HKEY_CLASSES_ROOT : HKEY_LOCAL_MACHINE;
}

const wchar_t *wide(const QString &text)
{
    return reinterpret_cast<const wchar_t *>(text.utf16());
}

} // namespace

void WinRegistry::setRegString(RegistryRoot root, const QString &keyPath, const QString &valueName,
                               const QString &text)
{
    HKEY key = nullptr;
    if (RegCreateKeyW(rootKey(root), wide(keyPath), &key) != ERROR_SUCCESS)
        return;
    // REG_SZ data is the text with its terminating NUL, counted in bytes.
    const auto bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    RegSetValueExW(key, valueName.isEmpty() ? nullptr : wide(valueName), 0, REG_SZ,
                   reinterpret_cast<const BYTE *>(wide(text)), bytes);
    RegCloseKey(key);
}

void WinRegistry::deleteRegKey(RegistryRoot root, const QString &keyPath)
{
    RegDeleteKeyW(rootKey(root), wide(keyPath));
}

} // namespace vimbrel
