#include "e2e/e2e_support.h"


namespace tavrin::e2e {

RealLink::RealLink(const std::string& device) {
    link.setPortDevice(0, device);
    LinkTiming timing = LinkTiming::system();
    timing.silenceLimit = kSilence;
    link.setTiming(timing);
    transport.setIoTimeout(kSilence);
}

test::CommandResult runPrinterCommand(const std::string& device, const std::vector<std::string>& subCommand) {
    std::vector<std::string> arguments{"printer", "--port", device, "--silence-ms",
                                       std::to_string(kSilence.count())};
    arguments.insert(arguments.end(), subCommand.begin(), subCommand.end());
    return test::runProgram(TAVRIN_LABEL_EXE, arguments);
}

}  // namespace tavrin::e2e
