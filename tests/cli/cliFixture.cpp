#include "cliFixture.h"

#include <regex>

namespace velmora::test {

namespace {

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        result.push_back(line);
    }
    return result;
}

} // namespace

std::vector<std::string> logMessages(const std::string& err) {
    static const std::regex stamped(
        R"re(^(Sun|Mon|Tue|Wen|Thu|Fri|Sat), ([1-9]|[12][0-9]|3[01])-(Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec)-[0-9]{4} ([0-9]|1[0-9]|2[0-3]):([0-9]|[1-5][0-9]):([0-9]|[1-5][0-9]) GMT===>>>(.*)$)re");
    std::vector<std::string> messages;
    for (std::string line : lines(err)) {
        // On a terminal a line may begin with what takes the progress line away.
        if (const std::size_t erase = line.rfind("\x1b[K"); erase != std::string::npos) {
            line.erase(0, erase + 3);
        }
        std::smatch match;
        if (std::regex_match(line, match, stamped)) {
            messages.push_back(match[7]);
        }
    }
    return messages;
}

std::vector<std::string> notices(const std::string& err) {
    std::vector<std::string> result;
    for (const std::string& line : lines(err)) {
        if (line.starts_with("velmora-cli: ")) {
            result.push_back(line);
        }
    }
    return result;
}

std::string leadingDigits(const std::string& text) {
    return text.substr(0, text.find_first_not_of("0123456789"));
}

} // namespace velmora::test
