#pragma once

#include <curl/curl.h>

#include <memory>

namespace velmora {

struct CurlEasyDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
struct CurlMultiDeleter {
    void operator()(CURLM* handle) const { curl_multi_cleanup(handle); }
};
struct CurlShareDeleter {
    void operator()(CURLSH* handle) const { curl_share_cleanup(handle); }
};
struct CurlListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
struct CurlUrlDeleter {
    void operator()(CURLU* url) const { curl_url_cleanup(url); }
};
struct CurlTextDeleter {
    void operator()(char* text) const { curl_free(text); }
};

using CurlEasyPtr = std::unique_ptr<CURL, CurlEasyDeleter>;
using CurlMultiPtr = std::unique_ptr<CURLM, CurlMultiDeleter>;
using CurlSharePtr = std::unique_ptr<CURLSH, CurlShareDeleter>;
using CurlListPtr = std::unique_ptr<curl_slist, CurlListDeleter>;
using CurlUrlPtr = std::unique_ptr<CURLU, CurlUrlDeleter>;
using CurlTextPtr = std::unique_ptr<char, CurlTextDeleter>;

/// Initialises libcurl once for the process (before any handle exists) and cleans it up at exit,
/// after every object that called this first.
void ensureCurlGlobal();

/// Appends one line to a header list; false when libcurl could not allocate it.
bool appendLine(CurlListPtr& list, const char* line);

} // namespace velmora
