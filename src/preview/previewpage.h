#pragma once

#include <QHash>
#include <QString>
#include <QUrl>

namespace vimbrel {

// The page on view as the preview scheme sees it: its file and its pictures with the width each
// is shown at. The page is loaded from "vimbrel://<generation>" + its path, so the absolute paths
// on it resolve to the same scheme and host; only the page file and its own pictures are
// answered, and only under the generation of the page on view. Each page shown gets a new one:
// the browser keeps what it loaded by address, and would otherwise show a preview made for one
// layout in another, or a picture as it was before it changed.
class PreviewPage
{
public:
    static constexpr char Scheme[] = "vimbrel";

    enum class Kind { Refused, Page, Picture, Moved /* the page, under an older address */ };
    struct Answer
    {
        Kind kind = Kind::Refused;
        QString path;  // the file to answer with
        int width = 0; // pixels a preview needs across; 0 for the picture's own size
    };

    // The address the view loads for a local file of the page on view, and back; empty for
    // addresses of other schemes.
    [[nodiscard]] QUrl address(const QString &path) const;
    [[nodiscard]] static QString localPath(const QUrl &url);

    // widths: each picture's path and its width attribute in CSS pixels (0: none, the picture
    // keeps its own size). pixelRatio is the screen's device pixel ratio.
    void set(const QString &pageFile, const QHash<QString, int> &widths, double pixelRatio);
    void clear();

    [[nodiscard]] Answer answer(const QUrl &url) const;
    [[nodiscard]] const QString &pageFile() const { return m_pageFile; }

private:
    struct Picture
    {
        QString path;
        int width = 0;
    };
    [[nodiscard]] QString host() const;

    quint64 m_generation = 0;
    QString m_pageFile;
    QHash<QString, Picture> m_pictures; // by cleaned path
};

} // namespace vimbrel
