#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

#include "imageservice/imageservice.h"

// vimbrel-imageservice [--port N] [--delay MS]: serves the local image-search service until
// killed, for trying the search window without the internet.
int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Local image-search service on 127.0.0.1"));
    parser.addHelpOption();
    const QCommandLineOption port(QStringLiteral("port"), QStringLiteral("Port (0: any free)."),
                                  QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption delay(QStringLiteral("delay"),
                                   QStringLiteral("Milliseconds added to every answer."),
                                   QStringLiteral("MS"), QStringLiteral("0"));
    parser.addOptions({port, delay});
    parser.process(app);

    bool portOk = false;
    const uint portValue = parser.value(port).toUInt(&portOk);
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (!portOk || portValue > 65535) {
        err << "--port wants a number from 0 to 65535\n";
        return 2;
    }
    vimbrel::ImageService service;
    service.setDelay(parser.value(delay).toInt());
    if (service.listen(quint16(portValue)) == 0) {
        err << "cannot listen on 127.0.0.1:" << portValue << "\n";
        return 1;
    }
    out << "http://" << service.host() << "/\n"
        << "[Search] ServiceHost=" << service.host() << "\n";
    out.flush();
    return app.exec();
}
