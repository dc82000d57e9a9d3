#include "WindowLook.h"

namespace quorbel::ui {

QFont CaptionFont() {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(7.0);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

}  // namespace quorbel::ui
