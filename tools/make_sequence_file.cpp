// Turns the readable timetable source into the supplied "Test.seq". Any error in the source
// fails the build, so that no program ships a timetable it cannot run.

#include "FileReplace.h"
#include "SequenceSource.h"
#include "TestSequence.h"

#include <cstdio>
#include <filesystem>
#include <string>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_sequence_file SOURCE.txt OUTPUT.seq\n");
        return 2;
    }
    std::string text;
    if (const auto error = kqvdr::readWholeFile(argv[1], text, 1024 * 1024)) {
        std::fprintf(stderr, "%s: %s\n", argv[1], error.message().c_str());
        return 1;
    }
    const kqvdr::SequenceSource source = kqvdr::parseSequenceSource(text);
    for (const auto& error : source.errors) {
        std::fprintf(stderr, "%s: %s\n", argv[1], error.c_str());
    }
    if (!source.errors.empty()) {
        return 1;
    }
    if (const auto error = kqvdr::writeTestSequence(argv[2], source.steps)) {
        std::fprintf(stderr, "%s: %s\n", argv[2], error.message().c_str());
        return 1;
    }
    return 0;
}
