#include "collectors/RunContext.h"

#include "http/CancelToken.h"

namespace velmora {

bool stopRequested() {
    const auto& token = currentCancelToken();
    return token && token->isCancelled();
}

} // namespace velmora
