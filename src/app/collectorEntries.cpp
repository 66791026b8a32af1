#include "app/WorkerEntries.h"

#include "collectors/collectKeyword.h"
#include "collectors/collectShop.h"

namespace velmora {

WorkerEntries collectorEntries(const Endpoints& endpoints) {
    // Each entry keeps its own copy of the endpoints: a worker may outlive the caller's.
    return {
        [endpoints](RunView& view, const RunSettings& settings) {
            collectKeyword(RunContext{view, settings, endpoints});
        },
        [endpoints](RunView& view, const RunSettings& settings) {
            collectShop(RunContext{view, settings, endpoints});
        },
    };
}

} // namespace velmora
