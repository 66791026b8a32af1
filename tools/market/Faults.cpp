#include "market/Faults.h"

#include <utility>

namespace velmora::market {

namespace {

const std::pair<RequestKind, const char*> kindNames[] = {
    {RequestKind::KeywordFirstLook, "keyword-first-look"},
    {RequestKind::ResultPage, "result-page"},
    {RequestKind::ItemDetail, "item-detail"},
    {RequestKind::ShopAddressPage, "shop-address-page"},
    {RequestKind::ShopSearchPage, "shop-search-page"},
    {RequestKind::ShopItemPage, "shop-item-page"},
    {RequestKind::SignIn, "sign-in"},
    {RequestKind::HomePage, "home-page"},
    {RequestKind::Other, "other"},
};

const std::pair<FaultType, const char*> faultNames[] = {
    {FaultType::Delay, "delay"},
    {FaultType::Stall, "stall"},
    {FaultType::Drip, "drip"},
    {FaultType::ResetMidBody, "reset-mid-body"},
    {FaultType::ServerError, "server-error"},
    {FaultType::Garbage, "garbage"},
    {FaultType::HugePage, "huge-page"},
    {FaultType::InvalidEncoding, "invalid-encoding"},
    {FaultType::RedirectLoop, "redirect-loop"},
    {FaultType::OversizedHeaders, "oversized-headers"},
    {FaultType::SignInWall, "sign-in-wall"},
    {FaultType::SliderCheck, "slider-check"},
};

} // namespace

const char* kindName(RequestKind kind) {
    for (const auto& [value, name] : kindNames)
        if (value == kind)
            return name;
    return "other";
}

const char* faultName(FaultType type) {
    for (const auto& [value, name] : faultNames)
        if (value == type)
            return name;
    return "server-error";
}

std::optional<RequestKind> kindFromName(const std::string& name) {
    for (const auto& [value, text] : kindNames)
        if (name == text)
            return value;
    return std::nullopt;
}

std::optional<FaultType> faultFromName(const std::string& name) {
    for (const auto& [value, text] : faultNames)
        if (name == text)
            return value;
    return std::nullopt;
}

} // namespace velmora::market
