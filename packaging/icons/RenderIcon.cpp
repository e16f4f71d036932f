// velmar-render-icon: renders the application icon's SVG to the PNG sizes the icon theme installs (a
// build step; the application itself never loads SVG).
#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char** argv) {
    // Painting into an image needs no screen and no platform plugin (the drawings have no text), so a
    // build machine without a display renders the same pixels.
    QCoreApplication application(argc, argv);
    const QStringList args = application.arguments();
    if (args.size() < 4 || (args.size() - 2) % 2 != 0) {
        std::fprintf(stderr, "usage: velmar-render-icon SVG SIZE OUT.png [SIZE OUT.png ...]\n");
        return 2;
    }
    QSvgRenderer renderer(args.at(1));
    if (!renderer.isValid()) {
        std::fprintf(stderr, "velmar-render-icon: cannot read %s\n", qPrintable(args.at(1)));
        return 1;
    }
    for (qsizetype i = 2; i + 1 < args.size(); i += 2) {
        bool ok = false;
        const int size = args.at(i).toInt(&ok);
        if (!ok || size < 8 || size > 1024) {
            std::fprintf(stderr, "velmar-render-icon: bad size %s\n", qPrintable(args.at(i)));
            return 2;
        }
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            renderer.render(&painter, QRectF(0, 0, size, size));
        }
        // An icon that drew nothing (a broken file the renderer still accepted) must fail the build.
        bool drawn = false;
        for (int y = 0; y < size && !drawn; ++y)
            for (int x = 0; x < size && !drawn; ++x) drawn = qAlpha(image.pixel(x, y)) != 0;
        if (!drawn || !image.save(args.at(i + 1), "PNG")) {
            std::fprintf(stderr, "velmar-render-icon: cannot write %s\n", qPrintable(args.at(i + 1)));
            return 1;
        }
    }
    return 0;
}
