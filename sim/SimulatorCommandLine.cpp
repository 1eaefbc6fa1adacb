#include "SimulatorCommandLine.h"

#include "NumberText.h"

namespace kqvdr::sim {

SimulatorCommandLine parseSimulatorCommandLine(const std::vector<std::string>& arguments) {
    SimulatorCommandLine line;
    for (std::size_t i = 0; i < arguments.size() && line.error.empty(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--fine") {
            line.options.fineGas = true;
        } else if (argument == "--trace") {
            line.options.trace = true;
        } else if (argument == "--no-vapour") {
            line.options.vapourCapable = false;
        } else if (argument == "--pace") {
            line.options.pace = true;
        } else if (argument == "--help" || argument == "-h") {
            line.showHelp = true;
        } else if (argument == "--device-id" || argument == "--seed") {
            if (i + 1 >= arguments.size()) {
                line.error = argument + " needs a number";
                break;
            }
            const std::string& value = arguments[++i];
            const int number = parseLeadingInt(value);
            if (value.empty() || value.find_first_not_of("0123456789") != std::string::npos) {
                line.error = argument + " needs a number";
            } else if (argument == "--device-id") {
                if (number > 127) {
                    line.error = "--device-id must be 0 to 127";
                }
                line.options.deviceId = number;
            } else {
                line.options.seed = static_cast<unsigned>(number);
            }
        } else {
            line.error = "unknown option " + argument;
        }
    }
    return line;
}

std::string simulatorUsage() {
    return "Usage: kqvdr1000-sim [--fine] [--device-id N] [--trace] [--no-vapour] [--pace]"
           " [--seed N]\n"
           "\n"
           "Serves a simulated KQ-VDR 1000 on a pseudo-terminal until standard input closes.\n"
           "The first line printed is \"PTY <path>\". Commands on standard input, one per line,\n"
           "each answered with a line starting \"ok\" or \"error\":\n"
           "  fault NAME        GAS NEB EVP EXH VAP LMP FAN CSM PDT OT PIC TC VDEV\n"
           "  silent on|off     stop or resume answering\n"
           "  garble N          corrupt the next N replies\n"
           "  noise N           send N random bytes before the next reply\n"
           "  stream N          send N random bytes a second between replies (0 stops);\n"
           "                    with silent on, a line that carries nothing else\n"
           "  variant fine|standard\n"
           "  speed X           run the physics X times faster\n"
           "  unhealthy NAME    slow-heating, unstable-temperature, slow-gas or high-baseline:\n"
           "                    each fails one system test analysis\n"
           "  healthy NAME      cures it again\n"
           "  state             report mode, method, setpoints, readings, flags and faults\n"
           "  quit\n";
}

} // namespace kqvdr::sim
