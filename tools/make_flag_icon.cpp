// Build-time tool: renders a flag drawing into the Flag.ico of a language pack,
// one 16x16 and one 32x32 image on a transparent background.
//
// usage: make_flag_icon INPUT.svg OUTPUT.ico
//
// Qt's own ICO writer puts one image in a file (a second write() appends a
// second, separate file that readers ignore) and stores 32-bit pictures so that
// half-transparent pixels come back darkened. So the container is written here:
// the icon directory followed by PNG-compressed images, which ICO readers have
// accepted for a long time and Qt's reader returns unchanged. The file is read
// back through Qt before it replaces the old one, as that is how the program
// will read it.

#include <array>
#include <cstdio>

#include <QBuffer>
#include <QByteArray>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QList>
#include <QPainter>
#include <QSaveFile>
#include <QString>
#include <QStringList>
#include <QSvgRenderer>
#include <QtEndian>

#include "tools/render_svg.h"

namespace {

constexpr std::array<int, 2> kIconSizes = {16, 32};

int Fail(const QString& message)
{
    std::fprintf(stderr, "make_flag_icon: %s\n", qPrintable(message));
    return 1;
}

QByteArray ToPng(const QImage& image)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        return {};
    return png;
}

void AppendLittleEndian16(QByteArray& out, quint16 value)
{
    char bytes[2];
    qToLittleEndian(value, bytes);
    out.append(bytes, 2);
}

void AppendLittleEndian32(QByteArray& out, quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

// ICONDIR, one ICONDIRENTRY per image, then the images in the same order.
QByteArray IcoContainer(const QList<QByteArray>& pngs, const QList<int>& sizes)
{
    constexpr quint32 kDirectorySize = 6;
    constexpr quint32 kEntrySize = 16;
    QByteArray out;
    AppendLittleEndian16(out, 0);  // reserved
    AppendLittleEndian16(out, 1);  // 1 = icon, 2 = cursor
    AppendLittleEndian16(out, static_cast<quint16>(pngs.size()));
    quint32 offset = kDirectorySize + kEntrySize * static_cast<quint32>(pngs.size());
    for (qsizetype number = 0; number < pngs.size(); ++number) {
        // Width and height are single bytes; 0 stands for 256.
        const char side = static_cast<char>(sizes[number] % 256);
        out.append(side);
        out.append(side);
        out.append('\0');  // not a palette image
        out.append('\0');  // reserved
        AppendLittleEndian16(out, 1);   // colour planes
        AppendLittleEndian16(out, 32);  // bits per pixel
        AppendLittleEndian32(out, static_cast<quint32>(pngs[number].size()));
        AppendLittleEndian32(out, offset);
        offset += static_cast<quint32>(pngs[number].size());
    }
    for (const QByteArray& png : pngs)
        out.append(png);
    return out;
}

// Empty when Qt reads back every size, in order; otherwise what went wrong.
QString CheckReadBack(QByteArray ico, const QList<int>& sizes)
{
    QBuffer buffer(&ico);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "ico");
    if (reader.imageCount() != sizes.size())
        return QStringLiteral("Qt reads %1 images from the icon, not %2").arg(reader.imageCount()).arg(sizes.size());
    for (qsizetype number = 0; number < sizes.size(); ++number) {
        if (!reader.jumpToImage(static_cast<int>(number)))
            return QStringLiteral("Qt cannot find image %1 of the icon").arg(number);
        const QImage image = reader.read();
        if (image.size() != QSize(sizes[number], sizes[number]))
            return QStringLiteral("Qt reads image %1 of the icon as %2x%3, not %4x%4")
                .arg(number).arg(image.width()).arg(image.height()).arg(sizes[number]);
    }
    return {};
}

}  // namespace

int main(int argc, char** argv)
{
    // QSvgRenderer and the image plugins need a GUI application object; the
    // build runs this with QT_QPA_PLATFORM=offscreen, so no display is needed.
    QGuiApplication application(argc, argv);
    const QStringList arguments = QGuiApplication::arguments();
    if (arguments.size() != 3) {
        std::fprintf(stderr, "usage: make_flag_icon INPUT.svg OUTPUT.ico\n");
        return 2;
    }
    const QString input = arguments.at(1);
    const QString output = arguments.at(2);

    QSvgRenderer renderer(input);
    if (!renderer.isValid())
        return Fail(QStringLiteral("cannot read the drawing %1").arg(input));
    // A drawing that is not square keeps its shape, centred in the icon.
    renderer.setAspectRatioMode(Qt::KeepAspectRatio);

    QList<QByteArray> pngs;
    QList<int> sizes;
    for (const int size : kIconSizes) {
        const QByteArray png = ToPng(vantelo::RenderSvg(renderer, size));
        if (png.isEmpty())
            return Fail(QStringLiteral("cannot compress the %1x%1 image").arg(size));
        pngs.append(png);
        sizes.append(size);
    }
    const QByteArray ico = IcoContainer(pngs, sizes);
    const QString problem = CheckReadBack(ico, sizes);
    if (!problem.isEmpty())
        return Fail(problem);

    // A failed build leaves no half-written icon that a later build takes as done.
    QDir().mkpath(QFileInfo(output).absolutePath());
    QSaveFile file(output);
    if (!file.open(QIODevice::WriteOnly) || file.write(ico) != ico.size() || !file.commit())
        return Fail(QStringLiteral("cannot write %1: %2").arg(output, file.errorString()));
    return 0;
}
