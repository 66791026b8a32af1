#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace velmora::market {

/// What a request asks the marketplace for, as the router classifies it.
enum class RequestKind {
    KeywordFirstLook, ///< s.D/search without an offset
    ResultPage,       ///< s.D/search with s=<offset>
    ItemDetail,       ///< hws.m.D/cache/wdetail/5.0/
    ShopAddressPage,  ///< a shop's home page or an item page that names its shop
    ShopSearchPage,   ///< shop<ID>.D/search.htm
    ShopItemPage,     ///< shop<ID>.D/i/asynSearch.htm
    SignIn,           ///< login.D
    HomePage,         ///< www.D or D itself
    Other,            ///< anything else (images, unknown hosts and paths)
};

/// The ways an answer can go wrong on purpose.
enum class FaultType {
    Delay,            ///< wait delayMs, then answer normally
    Stall,            ///< never answer; hold the connection until the server stops or the client leaves
    Drip,             ///< send the status and headers, then the body one byte every dripIntervalMs
    ResetMidBody,     ///< send the headers and half of the body, then reset the connection
    ServerError,      ///< HTTP 500 with an error page
    Garbage,          ///< HTTP 200 with random binary bytes as the body
    HugePage,         ///< the normal answer padded with filler up to hugeBytes
    InvalidEncoding,  ///< bytes invalid in the page's encoding inside the data (titles)
    RedirectLoop,     ///< HTTP 302 back to the same address, for ever
    OversizedHeaders, ///< the normal answer under a header block of at least headerBytes bytes
    SignInWall,       ///< HTTP 200 with a sign-in wall instead of the content
    SliderCheck,      ///< HTTP 200 with a slider check instead of the content
};

/// A fault switch: which requests it hits and what it does to them.
///
/// A rule counts the requests that match its selectors (kind, host, path prefix), from the moment it is
/// added, and hits the matching requests numbered firstRequest to firstRequest + count - 1. When several
/// rules hit the same request, the one added first wins; every matching rule still counts the request.
struct FaultRule {
    /// Hits every matching request from firstRequest on.
    static constexpr int always = -1;

    FaultType type = FaultType::ServerError;
    std::optional<RequestKind> kind;   ///< any kind when empty
    std::string host;                  ///< prefix of the Host header's name part ("shop123." ...), "" for any
    std::string pathPrefix;            ///< prefix of the request target (path and query), "" for any
    int firstRequest = 1;              ///< 1-based number, among the matching requests, of the first one hit
    int count = 1;                     ///< how many requests are hit, or `always`
    int delayMs = 1000;                ///< Delay: the wait before the answer
    int dripIntervalMs = 1000;         ///< Drip: the pause after every body byte
    std::size_t hugeBytes = 20u << 20; ///< HugePage: the body's size
    std::size_t headerBytes = 6000;    ///< OversizedHeaders: the minimum size of the header block
};

/// The lower-case name used in logs and on the command line ("keyword-first-look" ...).
const char* kindName(RequestKind kind);

/// The lower-case name used in logs and on the command line ("reset-mid-body" ...).
const char* faultName(FaultType type);

/// The kind with that name, if any.
std::optional<RequestKind> kindFromName(const std::string& name);

/// The fault with that name, if any.
std::optional<FaultType> faultFromName(const std::string& name);

} // namespace velmora::market
