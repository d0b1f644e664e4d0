// Writes the program's icon, the 32x32 pixel art of the window icon, as a PNG enlarged by a
// whole factor; every pixel becomes a sharp square block.
// usage: makeicon FACTOR OUTPUT.png
#include "smiley.xpm"

#include <QCoreApplication>
#include <QImage>

#include <cstdio>

int main(int argc, char* argv[])
{
    const QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    bool ok = false;
    const int factor = arguments.size() == 3 ? arguments.at(1).toInt(&ok) : 0;
    if (!ok || factor < 1) {
        std::fputs("usage: makeicon FACTOR OUTPUT.png\n", stderr);
        return 2;
    }
    const QImage icon(smiley_xpm);
    const QImage enlarged =
        icon.scaled(icon.size() * factor, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    if (!enlarged.save(arguments.at(2), "PNG")) {
        std::fprintf(stderr, "makeicon: cannot write %s\n", qPrintable(arguments.at(2)));
        return 1;
    }
    return 0;
}
