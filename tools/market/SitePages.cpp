#include "market/SitePages.h"

#include "market/Escaping.h"

namespace velmora::market {

std::string homePage(const std::string& domain) {
    return "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<title>淘宝网 - 淘！我喜欢</title>\n"
           "<style>body{font-family:sans-serif;margin:40px}#q{width:360px;padding:6px}</style>\n</"
           "head>\n<body>\n"
           "<div class=\"site-nav\"><a href=\"//login." +
           domain + "/member/login.jhtml?redirectURL=" + percentEncode("http://www." + domain + "/") +
           "\">亲，请登录</a></div>\n"
           "<h1 class=\"logo\">淘宝网</h1>\n<form action=\"//s." +
           domain +
           "/search\" method=\"get\" accept-charset=\"gbk\">\n"
           "<input id=\"q\" name=\"q\" placeholder=\"搜索宝贝\"> <button "
           "type=\"submit\">搜索</button>\n</form>\n"
           "<ul class=\"service\">\n<li><a href=\"//s." +
           domain +
           "/search?q=%C1%AC%D2%C2%C8%B9\">连衣裙</a></li>\n"
           "<li><a href=\"//shop123456." +
           domain +
           "/\">小店推荐</a></li>\n"
           "<li><a href=\"//www.tmall." +
           domain + "/\">天猫</a></li>\n</ul>\n</body>\n</html>\n";
}

std::string signInPage(const std::string& domain, const std::string& redirectUrl, const std::string& error) {
    std::string html =
        "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<title>淘宝网 - 淘！我喜欢</title>\n"
        "<style>body{font-family:sans-serif;background:#f5f5f5}.login-box{width:300px;margin:60px auto;"
        "padding:24px;background:#fff}label{display:block;margin-top:12px}input{width:100%;padding:6px}"
        "button{margin-top:16px;width:100%;padding:8px;background:#ff5000;color:#fff;border:0}"
        ".error{color:#f40}</style>\n</head>\n<body>\n<div class=\"login-box\">\n<h3>密码登录</h3>\n";
    if (!error.empty())
        html += "<p class=\"error\">" + htmlEscape(error) + "</p>\n";
    html += "<form id=\"login-form\" action=\"//login." + domain +
            "/member/login.jhtml\" method=\"post\">\n"
            "<input type=\"hidden\" name=\"redirectURL\" value=\"" +
            htmlEscape(redirectUrl) +
            "\">\n"
            "<label for=\"fm-login-id\">账号名/邮箱/手机号</label>\n"
            "<input id=\"fm-login-id\" name=\"TPL_username\" type=\"text\" autocomplete=\"username\">\n"
            "<label for=\"fm-login-password\">登录密码</label>\n"
            "<input id=\"fm-login-password\" name=\"TPL_password\" type=\"password\">\n"
            "<button type=\"submit\" class=\"fm-button fm-submit password-login\">登录</button>\n"
            "</form>\n</div>\n</body>\n</html>\n";
    return html;
}

std::string signInWallPage(const std::string& domain, const std::string& address) {
    return "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<title>淘宝网 - "
           "请登录</title>\n</head>\n"
           "<body>\n<div class=\"login-wall\">\n<p>亲，为了您的账户安全，请先登录。</p>\n"
           "<iframe src=\"//login." +
           domain + "/member/login.jhtml?style=mini&amp;redirectURL=" + percentEncode(address) +
           "\" width=\"350\" height=\"400\" frameborder=\"0\"></iframe>\n"
           "</div>\n</body>\n</html>\n";
}

std::string sliderCheckPage(const std::string& domain, const std::string& address) {
    return "<!DOCTYPE html>\n<html>\n<head>\n<meta "
           "charset=\"utf-8\">\n<title>验证码拦截</title>\n</head>\n<body>\n"
           "<div class=\"warnning-text\">亲，访问被拒绝了，请拖动下方滑块完成验证</div>\n"
           "<div id=\"nocaptcha\" class=\"nc-container\" data-nc-idx=\"1\">\n"
           "<div id=\"nc_1_wrapper\" class=\"nc_wrapper\"><div id=\"nc_1_n1t\" class=\"nc_scale\">"
           "<span id=\"nc_1_n1z\" class=\"nc_iconfont btn_slide\">&#xe620;</span>"
           "<div class=\"scale_text slidetounlock\"><span "
           "class=\"nc-lang-cnt\">请按住滑块，拖动到最右边</span></div>"
           "</div></div>\n</div>\n<script>var NCAPPKEY = \"X82Y__" +
           std::to_string(address.size() % 97) + "\"; var NCTOKENSTR = \"" + percentEncode(address) +
           "\"; var NCHOST = \"//sec." + domain + "\";</script>\n</body>\n</html>\n";
}

std::string serverErrorPage() {
    return "<!DOCTYPE HTML PUBLIC \"-//IETF//DTD HTML 2.0//EN\">\n<html>\n<head><title>500 Internal Server "
           "Error"
           "</title></head>\n<body>\n<h1>500 Internal Server Error</h1>\n<p>The server encountered an "
           "internal "
           "error and was unable to complete your request.</p>\n<hr/>Powered by Tengine\n</body>\n</html>\n";
}

std::string notFoundPage(const std::string& domain) {
    return "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<title>404 - "
           "淘宝网</title>\n</head>\n<body>\n"
           "<p>很抱歉，您查看的页面找不到了！</p>\n<a href=\"//www." +
           domain + "/\">返回淘宝首页</a>\n</body>\n</html>\n";
}

std::string pixelGif() {
    static const unsigned char gif[] = {0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x01, 0x00, 0x01, 0x00, 0x80,
                                        0x00, 0x00, 0x00, 0x00, 0x00, 0xff, 0xff, 0xff, 0x21, 0xf9, 0x04,
                                        0x01, 0x00, 0x00, 0x00, 0x00, 0x2c, 0x00, 0x00, 0x00, 0x00, 0x01,
                                        0x00, 0x01, 0x00, 0x00, 0x02, 0x02, 0x44, 0x01, 0x00, 0x3b};
    return std::string(reinterpret_cast<const char*>(gif), sizeof gif);
}

} // namespace velmora::market
