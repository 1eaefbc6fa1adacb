// Stands in for the installed program in the installer's test: holds the program's running
// mark for as many seconds as its argument says.
#include "RunningMark.h"

#include <chrono>
#include <cstdlib>
#include <thread>

int main(int argc, char* argv[]) {
    const kqvdr::RunningMark running;
    std::this_thread::sleep_for(std::chrono::seconds(argc > 1 ? std::atoi(argv[1]) : 0));
    return 0;
}
