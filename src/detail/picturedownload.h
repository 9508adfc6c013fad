#pragma once

#include <QObject>
#include <QString>

#include <functional>

namespace vimbrel {

// Saves the picture at an address, byte for byte as the server sends it, into a file the user
// chose. The real one downloads through the browser profile (its cookies, its headers); tests
// replace it.
class PictureDownload : public QObject
{
    Q_OBJECT
public:
    // Empty error: the file holds the picture. Otherwise why it does not; the file is then as
    // it was before (a file that was there is kept, none is left half written).
    using Done = std::function<void(const QString &error)>;

    using QObject::QObject;
    ~PictureDownload() override = default;

    // Replaces filePath when it exists (the save dialog asked already). done runs later, on
    // the UI thread, once.
    virtual void save(const QString &address, const QString &filePath, Done done) = 0;
    // Some save has not ended yet.
    [[nodiscard]] virtual bool busy() const = 0;

Q_SIGNALS:
    // The last running save ended (after its done ran).
    void idle();
};

} // namespace vimbrel
