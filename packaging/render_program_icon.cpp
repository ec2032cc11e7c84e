// Build-time tool: renders the program icon's drawing into the PNG sizes of the
// desktop's icon theme, as OUTPUT_DIR/<size>x<size>/apps/NAME.png.
//
// usage: render_program_icon INPUT.svg OUTPUT_DIR NAME SIZE...
//
// Desktops pick the nearest theme size and scale it, so every common size is
// drawn from the vector source rather than left to a blurry bitmap scale. Each
// PNG is read back before it replaces the old one; a drawing that renders to
// nothing visible fails the build instead of shipping blank icons.

#include <cstdio>

#include <QBuffer>
#include <QByteArray>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <QString>
#include <QStringList>
#include <QSvgRenderer>

#include "tools/render_svg.h"

namespace {

int Fail(const QString& message)
{
    std::fprintf(stderr, "render_program_icon: %s\n", qPrintable(message));
    return 1;
}

bool HasVisiblePixels(const QImage& image)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) != 0)
                return true;
    return false;
}

}  // namespace

int main(int argc, char** argv)
{
    // QSvgRenderer and the PNG writer need a GUI application object; the build
    // runs this with QT_QPA_PLATFORM=offscreen, so no display is needed.
    QGuiApplication application(argc, argv);
    const QStringList arguments = QGuiApplication::arguments();
    if (arguments.size() < 5) {
        std::fprintf(stderr, "usage: render_program_icon INPUT.svg OUTPUT_DIR NAME SIZE...\n");
        return 2;
    }
    const QString input = arguments.at(1);
    const QString outputDir = arguments.at(2);
    const QString name = arguments.at(3);

    QSvgRenderer renderer(input);
    if (!renderer.isValid())
        return Fail(QStringLiteral("cannot read the drawing %1").arg(input));
    renderer.setAspectRatioMode(Qt::KeepAspectRatio);

    for (const QString& argument : arguments.mid(4)) {
        bool isNumber = false;
        const int size = argument.toInt(&isNumber);
        if (!isNumber || size < 1 || size > 1024)
            return Fail(QStringLiteral("not an icon size: %1").arg(argument));

        const QImage image = vantelo::RenderSvg(renderer, size);
        if (!HasVisiblePixels(image))
            return Fail(QStringLiteral("the %1x%1 rendering of %2 is empty").arg(size).arg(input));
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        if (!image.save(&buffer, "PNG"))
            return Fail(QStringLiteral("cannot compress the %1x%1 image").arg(size));
        const QImage readBack = QImage::fromData(png, "PNG");
        if (readBack.size() != QSize(size, size))
            return Fail(QStringLiteral("the %1x%1 image does not read back").arg(size));

        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(outputDir).arg(size);
        QDir().mkpath(folder);
        QSaveFile file(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
        if (!file.open(QIODevice::WriteOnly) || file.write(png) != png.size() || !file.commit())
            return Fail(QStringLiteral("cannot write %1: %2").arg(file.fileName(), file.errorString()));
    }
    return 0;
}
