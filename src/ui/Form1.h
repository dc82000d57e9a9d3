// The tile chooser: the tileset picture as a grid of 16 x 16 cells, 19 to a row, numbered from 1
// at the top left. A press on a cell selects its number, moves the red marker onto it and shows
// the number in the caption; Ok copies it into the main window's tile-number box.
#pragma once

#include <QPixmap>
#include <QWidget>
#include <cstdint>

class QLabel;
class QPushButton;

namespace quorbel::ui {

// The chooser's selected tile: 171 at every load, replaced by each press on the picture.
inline std::int16_t ChosenTile = 171;

// The picture box: draws its picture unscaled from the top-left corner and reports presses.
class PictureBox : public QWidget {
    Q_OBJECT
  public:
    using QWidget::QWidget;
    void SetPicture(const QPixmap& picture, const QString& problem);
    const QPixmap& Picture() const { return picture_; }
    // Why the picture could not be shown; empty when it could (or there was none to show).
    const QString& Problem() const { return problem_; }

  signals:
    void pressed(float x, float y);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;

  private:
    QPixmap picture_;
    QString problem_;  // why the picture could not be shown, drawn in the empty box
};

class Form1 : public QWidget {
    Q_OBJECT
  public:
    Form1();

    // Loads the chooser when it is not loaded (tile 171, the picture of the file tilesetPath
    // names), shows it and brings it to the front; an open chooser keeps its state and ignores
    // tilesetPath.
    void ShowChooser(const QString& tilesetPath);
    // Closes the chooser without copying its number.
    void Unload();
    bool Loaded() const { return loaded_; }

  signals:
    // Ok: the chosen tile number as the tile-number box is to show it.
    void tileChosen(const QString& number);

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void Load(const QString& tilesetPath);
    void picTile_MouseDown(float x, float y);
    void Command1_Click();

    bool loaded_ = false;
    PictureBox* picTile = nullptr;
    QWidget* S1 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
};

// The tile number of the cell under pixel (x, y) of the picture box, through RoundDown of the
// decimal text of each coordinate divided by 16 in single precision; with the cell's top-left
// pixel. Throws OverflowError for coordinates far outside any box.
struct ChosenCell {
    std::int16_t tile;
    std::int16_t left;
    std::int16_t top;
};
ChosenCell CellAt(float x, float y);

}  // namespace quorbel::ui
