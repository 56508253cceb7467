#include "shell/ui/application.h"
#include "shell/ui/tsplash.h"

#include "splashpicture.h" // made at build time by splashgen

int main(int argc, char **argv)
{
    // The pixels stay where the program holds them: the picture only points at them.
    TSplash::setPrerendered(QImage(splashpicture::kPixels, splashpicture::kWidth, splashpicture::kHeight,
                                   QImage::Format_ARGB32_Premultiplied),
                            QString::fromLatin1(splashpicture::kStyle));
    return velmora::main(argc, argv);
}
