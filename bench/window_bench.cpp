// The conversion of a 1024 x 1024 all-dark bitmap through the real main window: a click on
// Command1, with the run yielding to the event loop at every status and every one of the
// 1,048,576 records. Run it on a real display or under Xvfb (QT_QPA_PLATFORM=xcb).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "support/bmp_builder.h"
#include "support/scratch_dir.h"
#include "ui/frmMain.h"

namespace {

using namespace quorbel;

void BM_WindowRun(benchmark::State& state) {
    const auto side = state.range(0);
    test::ScratchDir dir;
    test::BmpBuilder(16, 16).WriteTo(dir / "tileset.lvl");
    test::BmpBuilder(side, side).Pixels([](int, int) { return 0; }).WriteTo(dir / "map.bmp");
    ui::frmMain window;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        state.SkipWithError("the window was not shown");
        return;
    }
    window.findChild<QLineEdit*>("txtPic")->setText(QString::fromStdString(dir / "map.bmp"));
    window.findChild<QLineEdit*>("txtTile")->setText(QString::fromStdString(dir / "tileset.lvl"));
    window.findChild<QLineEdit*>("txtOut")->setText(QString::fromStdString(dir / "out.lvl"));
    auto* convert = window.findChild<QPushButton*>("Command1");
    for (auto _ : state) {
        QTest::mouseClick(convert, Qt::LeftButton);
    }
    state.SetItemsProcessed(state.iterations() * side * side);
}
BENCHMARK(BM_WindowRun)->Arg(1024)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
