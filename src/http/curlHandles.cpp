#include "http/curlHandles.h"

namespace velmora {

namespace {

class CurlGlobal {
public:
    CurlGlobal() { curl_global_init(CURL_GLOBAL_DEFAULT); }
    ~CurlGlobal() { curl_global_cleanup(); }
    CurlGlobal(const CurlGlobal&) = delete;
    CurlGlobal& operator=(const CurlGlobal&) = delete;
};

} // namespace

void ensureCurlGlobal() {
    // A function-local static: constructed once, thread-safely, and destroyed after every static
    // object (the cookie store) whose constructor called this before finishing.
    static CurlGlobal global;
}

bool appendLine(CurlListPtr& list, const char* line) {
    curl_slist* longer = curl_slist_append(list.get(), line);
    if (longer == nullptr) {
        return false;
    }
    // curl_slist_append returns the head, which is the old head unless the list was empty.
    list.release();
    list.reset(longer);
    return true;
}

} // namespace velmora
