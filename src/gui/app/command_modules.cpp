#include "app/command_modules.h"

#include "app/main_window.h"

namespace tavrin {

void installCommandModules(TZRedit& window) {
    // One line per concern, in menu order.
    (void)window;
}

}  // namespace tavrin
