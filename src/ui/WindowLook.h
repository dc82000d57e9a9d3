// What both windows share of their look: the twip geometry of their fixed layouts and the font
// with which every caption fits its box.
#pragma once

#include <QFont>
#include <QIcon>
#include <QRect>

namespace quorbel::ui {

// 15 twips make one device-independent pixel (1/96 inch).
constexpr int kTwipsPerPixel = 15;

constexpr QRect TwipsRect(int left, int top, int width, int height) {
    return QRect(left / kTwipsPerPixel, top / kTwipsPerPixel, width / kTwipsPerPixel,
                 height / kTwipsPerPixel);
}

// DejaVu Sans at 7 pt: "Tile number to use:" needs about 91 px of its label's 97.
QFont CaptionFont();

// The main window's icon and the tile chooser's own, drawn from the project's SVGs.
QIcon ProgramIcon();
QIcon ChooserIcon();

}  // namespace quorbel::ui
