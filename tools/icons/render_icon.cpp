// quorbel-render-icon SVG SIZE PNG: draws the SVG picture as a SIZE x SIZE PNG, for the icon
// theme's fixed sizes. Runs at build time; needs no display.
#include <QImage>
#include <QPainter>
#include <QString>
#include <QSvgRenderer>
#include <charconv>
#include <iostream>
#include <string_view>

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "Usage: quorbel-render-icon SVG SIZE PNG\n";
        return 64;
    }
    const std::string_view sizeText(argv[2]);
    int size = 0;
    const auto [end, error] =
        std::from_chars(sizeText.data(), sizeText.data() + sizeText.size(), size);
    if (error != std::errc() || end != sizeText.data() + sizeText.size() || size < 1 ||
        size > 1024) {
        std::cerr << "quorbel-render-icon: bad size '" << sizeText << "'\n";
        return 64;
    }
    QSvgRenderer svg(QString::fromLocal8Bit(argv[1]));
    if (!svg.isValid()) {
        std::cerr << "quorbel-render-icon: cannot read " << argv[1] << '\n';
        return 1;
    }
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    svg.render(&painter);
    painter.end();
    if (!image.save(QString::fromLocal8Bit(argv[3]), "PNG")) {
        std::cerr << "quorbel-render-icon: cannot write " << argv[3] << '\n';
        return 1;
    }
    return 0;
}
