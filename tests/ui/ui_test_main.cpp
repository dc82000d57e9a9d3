// Window tests run headless on Qt's offscreen platform, with one application for all of them.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdio>
#include <cstdlib>

namespace {

// The offscreen platform says, for every window shown, that it cannot raise it or pass size
// hints on; nothing a test needs to read.
void QuietMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (message.startsWith(QLatin1String("This plugin does not support"))) {
        return;
    }
    fprintf(stderr, "%s\n", qPrintable(message));
    if (type == QtFatalMsg) {
        abort();
    }
}

}  // namespace

int main(int argc, char** argv) {
    qInstallMessageHandler(QuietMessages);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
