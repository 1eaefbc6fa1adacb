#include "VerifyAuditCommand.h"

#include "AuditTrail.h"
#include "AuditVerifier.h"
#include "CommandLine.h"
#include "DataDirectory.h"
#include "Utf8Path.h"

#include <QCoreApplication>
#include <cstdio>

namespace kqvdr {

int verifyAuditCommand(const CommandLine& line, int argc, char* argv[]) {
    std::filesystem::path file = pathFromUtf8(line.auditFile);
    if (file.empty()) {
        // The same data directory the program would use, found the same way.
        QCoreApplication core(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("kqvdr1000-control"));
        file = programDataDirectory(line.programDir).dir / kAuditFile;
    }
    const AuditVerification result = verifyAuditFile(file);
    std::fputs(verificationReport(utf8FromPath(file), result).c_str(), stdout);
    if (!result.readable) {
        return 2;
    }
    return result.intact() ? 0 : 1;
}

} // namespace kqvdr
