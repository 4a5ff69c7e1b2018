#include "document/app_config.h"

namespace tavrin {

int baudRate(int baudIndex) {
    if (baudIndex < 0 || baudIndex >= static_cast<int>(kBaudRates.size())) return kBaudRates[kDefaultBaudIndex];
    return kBaudRates[static_cast<std::size_t>(baudIndex)];
}

int baudIndexForRate(int rate) {
    for (std::size_t i = 0; i < kBaudRates.size(); ++i) {
        if (kBaudRates[i] == rate) return static_cast<int>(i);
    }
    return kDefaultBaudIndex;
}

}  // namespace tavrin
