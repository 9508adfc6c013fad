#pragma once

#include <QObject>
#include <QPointer>
#include <QUrl>

#include "app/mainservices.h"

namespace vimbrel {

class Gallery;

// The main window's tools and help commands: every launch and prompt goes through the seams,
// and a launch the desktop refuses is named to the user in a message.
class MainTools : public QObject
{
    Q_OBJECT
public:
    MainTools(const MainServices &services, const Gallery &gallery, QWidget *window);

public Q_SLOTS:
    void openThumbnail(const QUrl &address); // a click on a picture of the page
    void openPageFolder();
    void exportList();
    void captureScreen();
    void startDrawingProgram();
    void openComputer();
    void openInOtherViewer();
    void mailAuthor();
    void openHomePage();
    void showAbout();
    void toggleFolderVerb(bool checked);

private:
    void launch(const QString &target);

    const MainServices &m_services;
    const Gallery &m_gallery;
    QPointer<QWidget> m_window;
};

} // namespace vimbrel
