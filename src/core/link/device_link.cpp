#include "link/device_link.h"

namespace tavrin {

DeviceLink::DeviceLink(const std::string& device, const LinkSettings& settings,
                       std::chrono::milliseconds silenceLimit) {
    link.setPortDevice(settings.portIndex, device);
    link.setSettings(settings);
    if (silenceLimit.count() > 0) {
        LinkTiming timing = link.timing();
        timing.silenceLimit = silenceLimit;
        link.setTiming(timing);
        transport.setIoTimeout(silenceLimit);
    }
}

std::string DeviceLink::problem() const {
    if (!ui.firstError().empty()) return ui.firstError();
    if (link.silent() || link.refused()) return link.failureMessage();
    return {};
}

}  // namespace tavrin
