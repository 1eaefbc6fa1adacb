#include "CommandLine.h"

#include <QApplication>
#include <QMainWindow>
#include <cstdio>

int main(int argc, char* argv[]) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    const kqvdr::CommandLine line = kqvdr::parseCommandLine(arguments);
    if (!line.error.empty()) {
        std::fprintf(stderr, "kqvdr1000-control: %s\n\n%s", line.error.c_str(),
                     kqvdr::commandLineUsage().c_str());
        return 2;
    }
    if (line.showVersion) {
        std::printf("KQ-VDR1000 Control Version %s\n", KQVDR_VERSION);
        return 0;
    }
    if (line.showHelp) {
        std::printf("%s", kqvdr::commandLineUsage().c_str());
        return 0;
    }

    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("KQ VDR 1000 Control"));
    window.setFixedSize(800, 600);
    window.show();
    return app.exec();
}
