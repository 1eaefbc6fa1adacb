// Stands in for the window program behind kqvdr1000-control.com: a window-subsystem program
// that, for a command-line run, writes its arguments as rows to stdout, a UTF-8 line to
// stderr and ends with exit code 3; a window run leaves a file behind after two seconds, so
// that the test can tell that nothing waited for it.
#include "CommandLine.h"
#include "ParentConsole.h"
#include "Utf8Arguments.h"

#include <chrono>
#include <cstdio>
#include <optional>
#include <thread>

int main(int argc, char* argv[]) {
    const std::vector<std::string> arguments = kqvdr::utf8Arguments(argc, argv);
    const kqvdr::CommandLine line = kqvdr::parseCommandLine(arguments);
    if (!kqvdr::runsInConsole(line)) {
        std::this_thread::sleep_for(std::chrono::seconds(2));
        if (std::FILE* ran = std::fopen("window-run.txt", "w")) {
            std::fclose(ran);
        }
        return 0;
    }
    std::optional<kqvdr::ParentConsole> console;
    console.emplace();
    for (const std::string& argument : arguments) {
        std::printf("row %s\n", argument.c_str());
    }
    std::fprintf(stderr, "message for stderr: Données Ω\n");
    return 3;
}
