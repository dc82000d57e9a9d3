#include "ui/Form1.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>

#include "support/bmp_builder.h"
#include "support/scratch_dir.h"
#include "ui/Program.h"
#include "ui/window_test_support.h"

namespace quorbel::ui {
namespace {

class Form1Test : public ::testing::Test {
  protected:
    void SetUp() override {
        test::BmpBuilder(304, 160).WriteTo(dir / "tiles.bmp");
        Text("txtTile")->setText(QString::fromStdString(dir / "tiles.bmp"));
        main.show();
        Open();
    }

    QLineEdit* Text(const char* name) { return main.findChild<QLineEdit*>(name); }
    void Open() { main.findChild<QPushButton*>("Command5")->click(); }
    Form1& Chooser() { return *program.Chooser(); }
    PictureBox* Picture() { return Chooser().findChild<PictureBox*>("picTile"); }
    QPoint Marker() { return Chooser().findChild<QWidget*>("S1")->pos(); }
    // Sent directly: QTest takes the point (0, 0) for "the middle of the widget".
    void Press(int x, int y, Qt::MouseButton button = Qt::LeftButton) {
        const QPointF at(x, y);
        QMouseEvent press(QEvent::MouseButtonPress, at, Picture()->mapToGlobal(at), button, button,
                          Qt::NoModifier);
        QApplication::sendEvent(Picture(), &press);
    }
    void Click(const char* name) {
        QTest::mouseClick(Chooser().findChild<QPushButton*>(name), Qt::LeftButton);
    }

    test::ScratchDir dir;
    Program program;
    frmMain& main = program.Main();
};

TEST_F(Form1Test, LoadsWithTile171AndItsPicture) {
    EXPECT_TRUE(Chooser().isVisible());
    EXPECT_EQ(Chooser().windowTitle(), "Tile Chooser [Tile Number: 171]");
    EXPECT_EQ(Chooser().size(), QSize(304, 207));
    const QImage icon = Chooser().windowIcon().pixmap(32, 32).toImage();
    EXPECT_FALSE(icon.isNull());
    EXPECT_NE(icon, main.windowIcon().pixmap(32, 32).toImage());
    EXPECT_EQ(Picture()->geometry(), QRect(0, 0, 304, 160));
    EXPECT_EQ(Marker(), QPoint(288, 128));
    EXPECT_EQ(Picture()->Picture().size(), QSize(304, 160));
    EXPECT_EQ(Chooser().findChild<QPushButton*>("Command1")->geometry(), QRect(216, 168, 81, 33));
    EXPECT_EQ(Chooser().findChild<QPushButton*>("Command2")->geometry(), QRect(128, 168, 81, 33));
    EXPECT_EQ(Chooser().focusWidget(), Chooser().findChild<QPushButton*>("Command1"));
}

TEST_F(Form1Test, APressSelectsTheCellUnderThePointer) {
    struct Case {
        QPoint at;
        Qt::MouseButton button;
        int tile;
        QPoint marker;
    } const cases[] = {
        {{0, 0}, Qt::LeftButton, 1, {0, 0}},
        {{15, 15}, Qt::LeftButton, 1, {0, 0}},
        {{16, 0}, Qt::LeftButton, 2, {16, 0}},
        {{0, 16}, Qt::RightButton, 20, {0, 16}},
        {{288, 128}, Qt::LeftButton, 171, {288, 128}},
        {{300, 150}, Qt::MiddleButton, 190, {288, 144}},
        {{290, 130}, Qt::LeftButton, 171, {288, 128}},  // on the marker: it takes no input
    };
    for (const Case& c : cases) {
        Press(c.at.x(), c.at.y(), c.button);
        EXPECT_EQ(ChosenTile, c.tile) << c.at.x() << "," << c.at.y();
        EXPECT_EQ(Marker(), c.marker);
        EXPECT_EQ(Chooser().windowTitle(),
                  QStringLiteral("Tile Chooser [Tile Number: %1]").arg(c.tile));
    }
    const ChosenCell fraction = CellAt(303.9f, 159.5f);
    EXPECT_EQ(fraction.tile, 190);
}

TEST_F(Form1Test, TheMarkerIsRedAndTheTileShowsThroughIt) {
    test::BmpBuilder(304, 160).Pixels([](int x, int) { return x % 2; }).WriteTo(dir / "tiles.bmp");
    Chooser().Unload();
    Open();
    Press(40, 20);  // the cell at (32, 16)
    const QImage shot = Picture()->grab().toImage();
    EXPECT_EQ(shot.pixelColor(32, 16), QColor(255, 0, 0));  // the frame
    EXPECT_EQ(shot.pixelColor(40, 24), QColor(0, 0, 0));    // the tile inside it
    EXPECT_EQ(shot.pixelColor(41, 24), QColor(255, 255, 255));
}

TEST_F(Form1Test, OkCopiesTheNumberAndCancelDoesNot) {
    Text("txtTileNum")->setText("5");
    Press(0, 16);
    Click("Command2");
    EXPECT_FALSE(Chooser().isVisible());
    EXPECT_EQ(Text("txtTileNum")->text(), "5");
    Open();  // reloaded: back to 171
    EXPECT_EQ(Chooser().windowTitle(), "Tile Chooser [Tile Number: 171]");
    EXPECT_EQ(Marker(), QPoint(288, 128));
    Click("Command1");
    EXPECT_EQ(Text("txtTileNum")->text(), "171");
    Open();
    Press(16, 0);
    Click("Command1");
    EXPECT_EQ(Text("txtTileNum")->text(), "2");
}

TEST_F(Form1Test, TabRunsOkCancelPicture) {
    QApplication::setActiveWindow(&Chooser());
    QStringList order;
    for (int i = 0; i < 4; ++i) {
        order << QApplication::focusWidget()->objectName();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    EXPECT_EQ(order.join(' '), "Command1 Command2 picTile Command1");
}

// An open chooser only comes to the front, from the task bar too, keeping its state.
TEST_F(Form1Test, Command5BringsBackAMinimizedChooser) {
    Press(16, 0);
    Chooser().showMinimized();
    ASSERT_TRUE(Chooser().isMinimized());
    Open();
    EXPECT_FALSE(Chooser().isMinimized());
    EXPECT_TRUE(Chooser().isVisible());
    EXPECT_EQ(ChosenTile, 2);
}

TEST_F(Form1Test, Command5WhileOpenKeepsTheChoosersState) {
    Press(16, 0);
    Text("txtTile")->setText("");
    Open();
    EXPECT_EQ(ChosenTile, 2);
    EXPECT_EQ(Marker(), QPoint(16, 0));
    EXPECT_FALSE(Picture()->Picture().isNull());
}

TEST_F(Form1Test, PictureSources) {
    // A level file shows its leading bitmap; a missing or broken file opens an empty box that
    // says why; an empty path opens an empty box quietly. Presses and Ok work in every case.
    test::WriteWholeFile(dir / "level.lvl",
                         test::BmpBuilder(40, 20).Bytes() + std::string(400, '\x7F'));
    test::WriteWholeFile(dir / "broken.lvl", "not a picture at all");
    struct Case {
        std::string path;
        QSize size;
        bool problem;
    } const cases[] = {{dir / "level.lvl", {40, 20}, false},
                       {dir / "broken.lvl", {0, 0}, true},
                       {dir / "missing.lvl", {0, 0}, true},
                       {"", {0, 0}, false}};
    for (const Case& c : cases) {
        Chooser().Unload();
        Text("txtTile")->setText(QString::fromStdString(c.path));
        Open();
        EXPECT_EQ(Picture()->Picture().size(), c.size) << c.path;
        EXPECT_EQ(Picture()->Problem().isEmpty(), !c.problem) << c.path;
        Press(20, 20);
        Click("Command1");
        EXPECT_EQ(Text("txtTileNum")->text(), "21");
    }
}

}  // namespace
}  // namespace quorbel::ui
