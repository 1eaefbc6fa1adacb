#include "CommandLine.h"

#include <algorithm>
#include <cstdlib>

namespace kqvdr {

CommandLine parseCommandLine(const std::vector<std::string>& arguments) {
    CommandLine line;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const auto value = [&](std::optional<std::string>& target) {
            if (i + 1 >= arguments.size()) {
                line.error = argument + " needs a value";
                return;
            }
            target = arguments[++i];
        };
        if (argument == "--dir") {
            value(line.programDir);
        } else if (argument == "--device") {
            value(line.device);
        } else if (argument == "--simulate") {
            line.simulate = true;
        } else if (argument == "--analyze") {
            value(line.analyzeLog);
        } else if (argument == "--csv") {
            value(line.csv);
        } else if (argument == "--report") {
            value(line.reportPdf);
        } else if (argument == "--json") {
            line.json = true;
        } else if (argument == "--fine") {
            line.fineGas = true;
        } else if (argument == "--version") {
            line.showVersion = true;
        } else if (argument == "--verify-audit") {
            line.verifyAudit = true;
            if (i + 1 < arguments.size() && !arguments[i + 1].starts_with('-')) {
                line.auditFile = arguments[++i];
            }
        } else if (argument == "--sila") {
            std::optional<std::string> port;
            value(port);
            if (port) {
                char* end = nullptr;
                const long number = std::strtol(port->c_str(), &end, 10);
                if (port->empty() || *end != '\0' || number < 0 || number > 65535) {
                    line.error = "--sila needs a port number from 0 to 65535";
                } else {
                    line.silaPort = static_cast<int>(number);
                }
            }
        } else if (argument == "--sila-address") {
            std::optional<std::string> address;
            value(address);
            line.silaAddress = address.value_or(line.silaAddress);
        } else if (argument == "--sila-cert") {
            value(line.silaCert);
        } else if (argument == "--sila-key") {
            value(line.silaKey);
        } else if (argument == "--sila-insecure") {
            line.silaInsecure = true;
        } else if (argument == "--sila-open") {
            line.silaOpen = true;
        } else if (argument == "--sila-client-ca") {
            value(line.silaClientCa);
        } else if (argument == "--sila-user") {
            value(line.silaUserAction);
            if (line.silaUserAction && *line.silaUserAction != "list") {
                std::optional<std::string> name;
                value(name);
                line.silaUserName = name.value_or("");
            }
        } else if (argument == "--role") {
            value(line.silaUserRole);
        } else if (argument == "--help" || argument == "-h") {
            line.showHelp = true;
        }
        if (!line.error.empty()) {
            break;
        }
    }
    if (line.error.empty() && line.fineGas && !line.simulate && !line.analyzeLog) {
        line.error = "--fine applies only with --simulate or --analyze";
    }
    if (line.error.empty() && line.json && !line.analyzeLog) {
        line.error = "--json applies only with --analyze";
    }
    if (line.error.empty() && line.csv && !line.analyzeLog) {
        line.error = "--csv applies only with --analyze";
    }
    if (line.error.empty() && line.reportPdf && !line.analyzeLog) {
        line.error = "--report applies only with --analyze";
    }
    const bool silaDetail =
        line.silaCert || line.silaKey || line.silaInsecure || line.silaOpen || line.silaClientCa ||
        std::find(arguments.begin(), arguments.end(), "--sila-address") != arguments.end();
    if (line.error.empty() && silaDetail && !line.silaPort) {
        line.error = "--sila-address, --sila-cert, --sila-key, --sila-insecure, --sila-open and "
                     "--sila-client-ca apply only with --sila";
    }
    if (line.error.empty() && line.silaCert.has_value() != line.silaKey.has_value()) {
        line.error = "--sila-cert and --sila-key go together";
    }
    if (line.error.empty() && line.silaInsecure && line.silaCert) {
        line.error = "--sila-insecure cannot be combined with --sila-cert";
    }
    if (line.error.empty() && line.silaInsecure && line.silaClientCa) {
        line.error = "--sila-client-ca needs TLS, which --sila-insecure turns off";
    }
    if (line.error.empty() && line.silaUserAction) {
        const std::string& action = *line.silaUserAction;
        if (action != "add" && action != "remove" && action != "password" && action != "list") {
            line.error = "--sila-user needs add, remove, password or list";
        } else if (action == "add" && !line.silaUserRole) {
            line.error = "--sila-user add needs --role observer, operator or supervisor";
        } else if (line.silaUserRole && action != "add") {
            line.error = "--role applies only with --sila-user add";
        } else if (line.silaPort) {
            line.error = "--sila-user changes the users and exits; it does not combine with --sila";
        }
    } else if (line.error.empty() && line.silaUserRole) {
        line.error = "--role applies only with --sila-user add";
    }
    return line;
}

bool runsInConsole(const CommandLine& line) {
    return !line.error.empty() || line.showVersion || line.showHelp || line.verifyAudit ||
           line.analyzeLog.has_value() || line.silaUserAction.has_value();
}

std::string commandLineUsage() {
    return "Usage: kqvdr1000-control [--dir DIR] [--device PATH] [--simulate [--fine]]\n"
           "                         [--version] [Qt options such as -platform offscreen]\n"
           "       kqvdr1000-control --analyze LOG [--fine] [--json] [--csv FILE] [--report "
           "FILE.pdf]\n"
           "       kqvdr1000-control [--dir DIR] --verify-audit [FILE]\n"
           "       kqvdr1000-control [options] --sila PORT [--sila-address ADDR]\n"
           "                         [--sila-cert PEM --sila-key KEY | --sila-insecure]\n"
           "                         [--sila-open] [--sila-client-ca PEM]\n"
           "       kqvdr1000-control [--dir DIR] --sila-user add NAME --role ROLE\n"
           "       kqvdr1000-control [--dir DIR] --sila-user remove|password NAME | list\n"
           "\n"
           "  --dir DIR       keep the program's data files in DIR instead of beside the program\n"
           "  --device PATH   use this serial device for whichever port is chosen\n"
           "  --simulate      run against the built-in simulated instrument\n"
           "  --fine          the simulated instrument has the fine gas-flow range; with\n"
           "                  --analyze, judge the log on the fine range (default: when its\n"
           "                  path contains \"M03\")\n"
           "  --analyze LOG   analyse a system test log and print the results, without a window\n"
           "  --json          print the analysis as one JSON object\n"
           "  --csv FILE      with --analyze, also write the result rows as CSV\n"
           "  --report FILE   with --analyze, also write the performance report as a PDF\n"
           "  --version       print the version and exit\n"
           "  --verify-audit  check the audit trail's chain (FILE, or audit.log in the data\n"
           "                  directory) and say where it breaks; exit 0 when it is intact\n"
           "  --sila PORT     serve SiLA 2 remote control on PORT (0: any free port), with TLS\n"
           "  --sila-address ADDR  listen on ADDR instead of 127.0.0.1\n"
           "  --sila-cert PEM --sila-key KEY  use this certificate and key instead of the\n"
           "                  self-signed pair kept in the data directory\n"
           "  --sila-insecure serve without TLS, which breaks the SiLA 2 standard\n"
           "  --sila-open     serve on another address than 127.0.0.1 without any users,\n"
           "                  so anyone who reaches the port controls the detector\n"
           "  --sila-client-ca PEM  ask every client for a certificate signed by this\n"
           "                  authority, in addition to its login\n"
           "  --sila-user     add, remove, change the password of or list the users who may\n"
           "                  log in to remote control, then exit; the password is asked\n"
           "                  twice on the terminal, or read as one line from standard input\n"
           "  --role ROLE     with --sila-user add: observer, operator or supervisor\n";
}

} // namespace kqvdr
