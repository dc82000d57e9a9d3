#include "ui/frmMain.h"

#include <gtest/gtest.h>

#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QUrl>

#include "conversion/conversion_run.h"
#include "support/bmp_builder.h"
#include "support/level_model.h"
#include "support/scratch_dir.h"
#include "ui/Program.h"
#include "ui/window_test_support.h"

namespace quorbel::ui {
namespace {

using test::BmpBuilder;
using test::ReadWholeFile;

class frmMainTest : public ::testing::Test {
  protected:
    void SetUp() override {
        auto scripted = std::make_unique<test::ScriptedDialog>();
        dialog = scripted.get();
        program = std::make_unique<Program>(std::move(scripted));
        window = &program->Main();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
        BmpBuilder(16, 16).WriteTo(dir / "tileset.lvl");
        BmpBuilder(1024, 1024).WriteTo(dir / "map.bmp");  // all white: no tiles
        test::WriteWholeFile(dir / "out.lvl", "earlier");
        Text("txtPic")->setText(QString::fromStdString(dir / "map.bmp"));
        Text("txtTile")->setText(QString::fromStdString(dir / "tileset.lvl"));
        Text("txtOut")->setText(QString::fromStdString(dir / "out.lvl"));
    }

    QLineEdit* Text(const char* name) const { return window->findChild<QLineEdit*>(name); }
    QPushButton* Button(const char* name) const { return window->findChild<QPushButton*>(name); }
    QString Status() const { return window->findChild<QLabel*>("L")->text(); }
    void Convert() { QTest::mouseClick(Button("Command1"), Qt::LeftButton); }

    test::ScratchDir dir;
    test::ScriptedDialog* dialog = nullptr;
    std::unique_ptr<Program> program;
    frmMain* window = nullptr;
};

TEST_F(frmMainTest, ControlsStandWhereTheLayoutPutsThem) {
    struct Case {
        const char* name;
        QRect pixels;
        const char* text;
    } const cases[] = {
        {"Label1", {8, 8, 97, 17}, "Monochrome Path:"},
        {"txtPic", {104, 8, 153, 19}, nullptr},
        {"Command2", {264, 8, 65, 17}, "..."},
        {"Label2", {40, 32, 73, 17}, "Tileset Path:"},
        {"txtTile", {104, 32, 153, 19}, nullptr},
        {"Command3", {264, 32, 65, 17}, "..."},
        {"Label4", {8, 56, 97, 17}, "Tile number to use:"},
        {"txtTileNum", {104, 56, 153, 19}, "171"},
        {"Command5", {264, 56, 65, 17}, "..."},
        {"Label3", {16, 80, 81, 17}, "Output File Path:"},
        {"txtOut", {104, 80, 153, 19}, nullptr},
        {"Command4", {264, 80, 65, 17}, "..."},
        {"Command1", {8, 104, 321, 33}, "Be really cool and make me a leet map!"},
        {"txtDebug", {8, 144, 321, 129}, ""},
        {"L", {8, 280, 321, 33}, "Status:"},
    };
    EXPECT_EQ(window->windowTitle(), "Varnick's super-cool awsome Quorbel program");
    EXPECT_EQ(window->size(), QSize(338, 320));
    EXPECT_FALSE(window->windowIcon().pixmap(32, 32).isNull());
    for (const Case& c : cases) {
        auto* control = window->findChild<QWidget*>(c.name);
        ASSERT_NE(control, nullptr) << c.name;
        EXPECT_EQ(control->geometry(), c.pixels) << c.name;
        if (c.text == nullptr) {
            continue;
        }
        QString text;
        if (auto* label = qobject_cast<QLabel*>(control)) {
            text = label->text();
        } else if (auto* button = qobject_cast<QPushButton*>(control)) {
            text = button->text();
            EXPECT_FALSE(button->autoDefault() || button->isDefault()) << c.name;
        } else if (auto* box = qobject_cast<QLineEdit*>(control)) {
            text = box->text();
        } else if (auto* report = qobject_cast<QPlainTextEdit*>(control)) {
            text = report->toPlainText();
        }
        EXPECT_EQ(text, c.text) << c.name;
        // Every caption fits its box in the chosen font.
        EXPECT_LE(control->fontMetrics().horizontalAdvance(text), c.pixels.width() - 2) << c.name;
    }
    EXPECT_EQ(Text("txtOut")->maxLength(), std::numeric_limits<int>::max());
}

TEST_F(frmMainTest, FocusStartsInTxtPicAndTabFollowsTheOrder) {
    QApplication::setActiveWindow(window);
    EXPECT_EQ(QApplication::focusWidget(), Text("txtPic"));
    QStringList order;
    for (int i = 0; i < 10; ++i) {
        order << QApplication::focusWidget()->objectName();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    EXPECT_EQ(order.join(' '),
              "txtPic txtTile txtOut Command1 txtDebug txtTileNum Command2 Command3 Command4 "
              "Command5");
}

TEST_F(frmMainTest, BrowseButtonsShareOneDialog) {
    dialog->answers = {"/maps/a.bmp", "", "/maps/t.lvl", "/maps/out"};
    QTest::mouseClick(Button("Command2"), Qt::LeftButton);
    QTest::mouseClick(Button("Command3"), Qt::LeftButton);  // cancelled
    EXPECT_EQ(Text("txtPic")->text(), "/maps/a.bmp");
    EXPECT_EQ(Text("txtTile")->text(), QString::fromStdString(dir / "tileset.lvl"));
    QTest::mouseClick(Button("Command3"), Qt::LeftButton);
    QTest::mouseClick(Button("Command4"), Qt::LeftButton);
    EXPECT_EQ(Text("txtTile")->text(), "/maps/t.lvl");
    EXPECT_EQ(Text("txtOut")->text(), "/maps/out");  // no extension added
    ASSERT_EQ(dialog->uses.size(), 4u);
    const std::pair<const char*, bool> expected[] = {{"Bitmap Files|*.bmp", false},
                                                     {"lvl Files|*.lvl", false},
                                                     {"lvl Files|*.lvl", false},
                                                     {"lvl Files|*.lvl", true}};
    const char* startNames[] = {"", "/maps/a.bmp", "/maps/a.bmp", "/maps/t.lvl"};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(dialog->uses[i].filter, expected[i].first) << i;
        EXPECT_EQ(dialog->uses[i].save, expected[i].second) << i;
        EXPECT_EQ(dialog->uses[i].startName, startNames[i]) << i;
    }
    EXPECT_EQ(QtFilterText("Bitmap Files|*.bmp"), "Bitmap Files (*.bmp)");
}

// The dialog starts in the last chosen file's folder; the file itself is preselected only when
// the filter lists it (the toolkit would show a .bmp in a dialog for *.lvl otherwise).
TEST_F(frmMainTest, TheDialogPreselectsOnlyANameItsFilterTakes) {
    BmpBuilder(4, 4).WriteTo(dir / "a.bmp");
    test::WriteWholeFile(dir / "t.lvl", "level");
    struct Case {
        std::string start;
        const char* filter;
        bool preselected;
    } const cases[] = {{dir / "a.bmp", "lvl Files|*.lvl", false},
                       {dir / "t.lvl", "lvl Files|*.lvl", true},
                       {dir / "a.bmp", "Bitmap Files|*.bmp", true}};
    for (const Case& c : cases) {
        QFileDialog fileDialog;
        fileDialog.setOption(QFileDialog::DontUseNativeDialog);
        PrepareFileDialog(fileDialog, c.filter, false, QString::fromStdString(c.start));
        EXPECT_EQ(fileDialog.directory().absolutePath(),
                  QString::fromStdString(dir.Path().string()));
        EXPECT_EQ(fileDialog.selectedFiles().contains(QString::fromStdString(c.start)),
                  c.preselected)
            << c.start;
    }
}

TEST_F(frmMainTest, AClickConvertsAndLeavesStatusAndExactReport) {
    window->findChild<QPlainTextEdit*>("txtDebug")->setPlainText("typed by the user");
    bool disabledDuringRun = false;
    QTimer::singleShot(0, [&] { disabledDuringRun = !Button("Command1")->isEnabled(); });
    Convert();
    EXPECT_TRUE(disabledDuringRun);
    EXPECT_TRUE(Button("Command1")->isEnabled());
    EXPECT_EQ(Status(), "Status: Done: Your leet map awaits you :D");
    // The lines themselves are the header report's (tests/conversion/header_report_test.cpp).
    EXPECT_EQ(window->ReportText(), test::model::FullReport(ReadWholeFile(dir / "map.bmp")));
    EXPECT_EQ(window->findChild<QPlainTextEdit*>("txtDebug")->toPlainText().size(), 198);
    EXPECT_EQ(ReadWholeFile(dir / "out.lvl"), ReadWholeFile(dir / "tileset.lvl"));
}

TEST_F(frmMainTest, FailuresAndRejectionsShowTheirMessageBox) {
    struct Case {
        std::function<void()> arrange;
        const char* title;
        const char* status;
    } const cases[] = {
        {[&] { Text("txtTileNum")->setText("many"); }, "OH NOS YOU STUPID IDIOT!!!",
         "Status: ERROER!!! OH NOSSS!!!!"},
        {[&] {
             Text("txtTileNum")->setText("171");
             BmpBuilder(1025, 2).WriteTo(dir / "map.bmp");
         },
         "YOU IDIOT!!", "Status: YOU STUPID IDIOT, USE THE RIGHT CRAP NEXT TIME..."},
        // A name whose bytes the window could not show holds U+FFFD: it would reach the file
        // whose name really has that character, so the run fails instead.
        {[&] {
             BmpBuilder(4, 2).WriteTo(dir / "map.bmp");
             test::WriteWholeFile(dir / "lvl\xEF\xBF\xBD.lvl", "earlier");
             Text("txtOut")->setText(QString::fromStdString(dir / "lvl") + QChar(0xFFFD) +
                                     QStringLiteral(".lvl"));
         },
         "OH NOS YOU STUPID IDIOT!!!", "Status: ERROER!!! OH NOSSS!!!!"},
    };
    for (const Case& c : cases) {
        c.arrange();
        test::MessageBoxAnswerer answerer;
        Convert();
        ASSERT_EQ(answerer.seen.size(), 1u);
        EXPECT_EQ(answerer.seen[0].first, c.title);
        EXPECT_EQ(Status(), c.status);
        EXPECT_TRUE(Button("Command1")->isEnabled());
        EXPECT_EQ(ReadWholeFile(dir / "out.lvl"), "earlier");
    }
    EXPECT_EQ(ReadWholeFile(dir / "lvl\xEF\xBF\xBD.lvl"), "earlier");
}

TEST_F(frmMainTest, EventsAreServedDuringARun) {
    BmpBuilder(64, 64).Pixels([](int, int) { return 0; }).WriteTo(dir / "map.bmp");
    int servedDuringRun = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { servedDuringRun += window->Running(); });
    ticker.start(0);
    Convert();
    EXPECT_GT(servedDuringRun, 0);
    EXPECT_EQ(Status(), "Status: Done: Your leet map awaits you :D");
}

TEST_F(frmMainTest, ClosingDuringARunEndsItAndKeepsTheEarlierOutput) {
    BmpBuilder(256, 256).Pixels([](int, int) { return 0; }).WriteTo(dir / "map.bmp");
    Button("Command5")->click();
    ASSERT_TRUE(program->Chooser()->isVisible());
    int yields = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        if (++yields == 50) {
            window->close();
        }
    });
    ticker.start(0);
    test::MessageBoxAnswerer answerer;
    Convert();
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(program->Chooser()->isVisible());
    EXPECT_TRUE(answerer.seen.empty());
    EXPECT_NE(Status(), "Status: ERROER!!! OH NOSSS!!!!");
    EXPECT_EQ(ReadWholeFile(dir / "out.lvl"), "earlier");
    EXPECT_EQ(dir.Leftovers(), std::vector<std::string>{});
}

TEST_F(frmMainTest, ADroppedFileFillsAPathBox) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile("/maps/dropped map.bmp")});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Text("txtPic"), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Text("txtPic"), &drop);
    EXPECT_EQ(Text("txtPic")->text(), "/maps/dropped map.bmp");
}

TEST_F(frmMainTest, ReportBoxKeepsTypedTextUntilAReportStarts) {
    auto* box = window->findChild<QPlainTextEdit*>("txtDebug");
    box->setPlainText("line one\nline two");
    EXPECT_EQ(window->ReportText(), "line one\r\nline two");
    Text("txtTile")->setText(QString::fromStdString(dir / "missing.lvl"));
    test::MessageBoxAnswerer answerer;
    Convert();
    EXPECT_EQ(box->toPlainText(), "line one\nline two");
}

}  // namespace
}  // namespace quorbel::ui
