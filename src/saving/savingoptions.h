#pragma once

#include <QtGlobal>

namespace vimbrel {

class Settings;

// How a saving run keeps what it fetched, from the settings' [Save] section. Each choice is off
// unless set, so a run saves numbered JPEG files of at least 14000 bytes.
struct SavingOptions
{
    static constexpr qint64 defaultMinBytes = 14000;

    // KeepOriginal: the fetched bytes as they are, under their own format's extension (N.png,
    // N.webp, ...), instead of a JPEG made from them.
    bool keepOriginal = false;
    // MinBytes: a result smaller than this is left out.
    qint64 minBytes = defaultMinBytes;
    // SkipSaved: a picture whose address a file of the folder already records as its origin is
    // not fetched again.
    bool skipSaved = false;

    [[nodiscard]] static SavingOptions read(const Settings &settings);
};

} // namespace vimbrel
