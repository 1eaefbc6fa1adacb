#pragma once

#include <filesystem>
#include <ostream>

namespace kqvdr {

// --analyze LOG --report FILE.pdf: the performance report of a test log as a PDF, without a
// window. 0 when it was written; 1, after a message on `errors`, when the log cannot be read or
// the PDF cannot be written. Needs a QGuiApplication (the offscreen platform will do).
int runReportCommand(const std::filesystem::path& log, bool fineFlow,
                     const std::filesystem::path& pdf, std::ostream& errors);

} // namespace kqvdr
