#include "render/render_context.h"

namespace tavrin {

std::tm RenderContext::currentTime() const {
    if (now) return now();
    const std::time_t t = std::time(nullptr);
    std::tm local{};
    localtime_r(&t, &local);
    return local;
}

}  // namespace tavrin
