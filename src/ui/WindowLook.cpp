#include "ui/WindowLook.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

namespace quorbel::ui {

QFont CaptionFont() {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(7.0);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

namespace {

QIcon IconFromSvg(const QString& resource) {
    QSvgRenderer renderer(resource);
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        renderer.render(&painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

}  // namespace

QIcon ProgramIcon() {
    return IconFromSvg(QStringLiteral(":/icons/quorbel-mapmaker.svg"));
}

QIcon ChooserIcon() {
    return IconFromSvg(QStringLiteral(":/icons/quorbel-tile-chooser.svg"));
}

}  // namespace quorbel::ui
