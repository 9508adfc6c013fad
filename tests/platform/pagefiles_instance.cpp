// One running instance for the page-file tests: claims its page files, writes each file named
// on the command line with its own process id, prints their paths, and waits. The line "quit"
// on standard input removes the files and ends it as a closed window would.
#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>
#include <iostream>
#include <string>

#include "platform/pagefiles.h"

using namespace vimbrel;

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList files;
    for (const QString &name : app.arguments().mid(1)) {
        const QString file = PageFiles::path(name);
        PageFiles::writeLines(file, {QString::number(QCoreApplication::applicationPid())});
        files << file;
    }
    std::cout << files.join(QLatin1Char('\n')).toStdString() << std::endl;
    std::string line;
    while (std::getline(std::cin, line)) {
        if (line == "quit")
            break;
    }
    for (const QString &file : files)
        PageFiles::remove(file);
    return 0;
}
