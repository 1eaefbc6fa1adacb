// Turns a readable method source into a supplied method file. Any error in the source fails
// the build, so that no program ever ships an out-of-range method.

#include "FileReplace.h"
#include "MethodFile.h"
#include "MethodSource.h"

#include <cstdio>
#include <filesystem>
#include <string>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_method_file SOURCE.txt OUTPUT.mtd\n");
        return 2;
    }
    const std::filesystem::path sourcePath = argv[1];
    const std::filesystem::path outputPath = argv[2];

    std::string text;
    if (const auto error = kqvdr::readWholeFile(sourcePath, text, 1024 * 1024)) {
        std::fprintf(stderr, "%s: %s\n", argv[1], error.message().c_str());
        return 1;
    }
    kqvdr::MethodSource source = kqvdr::parseMethodSource(text);
    // The "m" files serve fine gas-flow instruments, whose gas flow is in hundredths.
    const bool fineFile = outputPath.filename().string().starts_with("m");
    if (source.errors.empty() && fineFile != source.hundredths) {
        source.errors.push_back(std::string("line 1: ") + outputPath.filename().string() +
                                " needs units " + (fineFile ? "hundredths" : "tenths"));
    }
    for (const auto& error : source.errors) {
        std::fprintf(stderr, "%s: %s\n", argv[1], error.c_str());
    }
    if (!source.errors.empty()) {
        return 1;
    }
    if (const auto error = kqvdr::writeMethodFile(outputPath, source.methods)) {
        std::fprintf(stderr, "%s: %s\n", argv[2], error.message().c_str());
        return 1;
    }
    return 0;
}
