#include "collectors/Endpoints.h"

#include "text/urlEncode.h"

namespace velmora {

Endpoints Endpoints::marketplace() {
    return {"s.taobao.com", "hws.m.taobao.com",         "taobao.com",
            "tmall.com",    "https://login.taobao.com", "https://www.taobao.com/"};
}

Endpoints Endpoints::simulator(std::string_view domain) {
    const Text d(domain);
    return {"s." + d, "hws.m." + d, d, "tmall." + d, "http://login." + d, "http://www." + d + "/"};
}

Text Endpoints::searchBase() const {
    return "http://" + searchHost + "/search?q=";
}

Text Endpoints::itemDetailAddress(std::string_view itemId) const {
    return "http://" + detailHost + "/cache/wdetail/5.0/?id=" + Text(itemId) +
           "&ttid=2013@taobao_h5_1.0.0&exParams={}";
}

Text Endpoints::shopSearchAddress(std::string_view shopId) const {
    return shopBaseAddress(shopId) + "/search.htm?";
}

Text Endpoints::shopBaseAddress(std::string_view shopId) const {
    return "http://shop" + Text(shopId) + "." + mainDomain;
}

Text Endpoints::tmallStorefrontMarker() const {
    return tmallDomain + "/search.htm";
}

Text Endpoints::signInAddress() const {
    return loginOrigin + "/member/login.jhtml?spm=a21bo.7724922.1997563269.1.f2etGY&f=top&redirectURL=" +
           urlEncode(homeAddress, "+");
}

} // namespace velmora
