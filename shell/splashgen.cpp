// Draws the start-up splash once, when the program is built, into a C++ header holding
// its pixels, so that starting the program only shows a picture (see TSplash).
// Usage: splashgen OUTPUT.h
#include "shell/ui/application.h"
#include "shell/ui/tsplash.h"

#include <QApplication>
#include <QFile>
#include <QStyle>

#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: splashgen OUTPUT.h\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    velmora::configureApplication();
    velmora::configureInterfaceFont();
    const QImage image = TSplash::render();

    QByteArray out = "// Made by splashgen when the program was built: the start-up splash, ARGB32 premultiplied.\n"
                     "#pragma once\n\nnamespace splashpicture {\n";
    out += "inline constexpr int kWidth = " + QByteArray::number(image.width()) + ";\n";
    out += "inline constexpr int kHeight = " + QByteArray::number(image.height()) + ";\n";
    out += "inline constexpr char kStyle[] = \"" + QApplication::style()->name().toLatin1() + "\";\n";
    out += "alignas(16) inline const unsigned char kPixels[] = {";
    for (int y = 0; y < image.height(); ++y) {
        const uchar *line = image.constScanLine(y);
        out += '\n';
        for (int i = 0; i < image.width() * 4; ++i) {
            out += QByteArray::number(line[i]);
            out += ',';
        }
    }
    out += "\n};\n} // namespace splashpicture\n";

    QFile file(QString::fromLocal8Bit(argv[1]));
    if (!file.open(QIODevice::WriteOnly) || file.write(out) != out.size()) {
        std::fprintf(stderr, "splashgen: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
