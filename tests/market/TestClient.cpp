#include "TestClient.h"

namespace velmora::market::test {

namespace {

std::size_t appendTo(char* data, std::size_t size, std::size_t count, void* target) {
    static_cast<std::string*>(target)->append(data, size * count);
    return size * count;
}

struct SlistFree {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

} // namespace

TestClient::TestClient() : handle_(curl_easy_init()) {
    // An empty cookie file switches the cookie engine on without reading anything.
    curl_easy_setopt(handle_.get(), CURLOPT_COOKIEFILE, "");
}

Fetched TestClient::fetch(const std::string& url, const FetchOptions& options) {
    CURL* curl = handle_.get();
    Fetched result;
    std::unique_ptr<curl_slist, SlistFree> headers;
    for (const std::string& line : options.headers)
        headers.reset(curl_slist_append(headers.release(), line.c_str()));
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, options.timeoutMs);
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, options.followRedirects ? 1L : 0L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, options.maxRedirects);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, appendTo);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &result.body);
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, appendTo);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, &result.headers);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    if (options.postBody) {
        curl_easy_setopt(curl, CURLOPT_POSTFIELDS, options.postBody->c_str());
        curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE, static_cast<long>(options.postBody->size()));
    } else {
        curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
    }
    result.code = curl_easy_perform(curl);
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &result.status);
    curl_easy_getinfo(curl, CURLINFO_HEADER_SIZE, &result.headerBytes);
    curl_easy_getinfo(curl, CURLINFO_REDIRECT_COUNT, &result.redirects);
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, nullptr);
    return result;
}

std::vector<std::string> TestClient::cookies() {
    std::vector<std::string> lines;
    curl_slist* list = nullptr;
    curl_easy_getinfo(handle_.get(), CURLINFO_COOKIELIST, &list);
    std::unique_ptr<curl_slist, SlistFree> owned(list);
    for (curl_slist* item = list; item; item = item->next)
        lines.emplace_back(item->data);
    return lines;
}

} // namespace velmora::market::test
