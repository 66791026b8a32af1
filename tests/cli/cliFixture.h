#pragma once

#include "cli/runCli.h"
#include "http/CookieStore.h"
#include "market/MarketServer.h"
#include "tempDirectory.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace velmora::test {

/// What a run of the command left behind.
struct CliResult {
    int status = -1;
    std::string out;
    std::string err;
};

/// The log messages of the error stream, stamps checked and taken off; other lines are left out.
std::vector<std::string> logMessages(const std::string& err);

/// The lines of the error stream that begin with "velmora-cli: ".
std::vector<std::string> notices(const std::string& err);

/// The leading ASCII digits of a text: what a sales lookup takes from a totalSoldQuantity value.
std::string leadingDigits(const std::string& text);

/// A marketplace simulator on loopback, a clean shared cookie store and a directory for each test.
class CliFixture : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.start());
        CookieStore::shared().clear();
    }
    void TearDown() override { CookieStore::shared().clear(); }

    /// Runs the command in-process against the simulator, with a short shop attempt pause.
    CliResult run(std::vector<std::string> args, std::ostream* out = nullptr, bool terminal = false,
                  std::shared_ptr<CancelToken> stop = nullptr) {
        args.insert(args.begin(), {"--market-domain", server.domain()});
        std::ostringstream captured;
        std::ostringstream err;
        const CliEnvironment env{out ? *out : captured, err, terminal, std::move(stop),
                                 std::chrono::milliseconds(1)};
        const int status = runCli(args, env);
        return {status, captured.str(), err.str()};
    }

    /// The table rows, UTF-8, that a keyword run over these listings writes.
    std::vector<std::vector<std::string>> keywordRows(const std::vector<market::Listing>& listings) const {
        std::vector<std::vector<std::string>> rows;
        for (const market::Listing& listing : listings) {
            rows.push_back({std::to_string(rows.size() + 1), "http:" + listing.detailUrl,
                            listing.rawTitleField, listing.nick,
                            leadingDigits(server.itemSales(listing.nid).soldQuantity)});
        }
        return rows;
    }

    /// A cookies.txt that carries the simulator's sign-in cookie; its path.
    std::string signInCookiesFile() const {
        const std::string path = file("cookies.txt");
        const market::Cookie cookie = server.signInCookie();
        const std::string domain = server.domain().substr(0, server.domain().find(':'));
        std::ofstream(path) << "# Netscape HTTP Cookie File\n." << domain << "\tTRUE\t/\tFALSE\t0\t"
                            << cookie.name << '\t' << cookie.value << '\n';
        return path;
    }

    int requestsOfKind(market::RequestKind kind) const {
        int count = 0;
        for (const market::RequestRecord& record : server.requests()) {
            count += record.kind == kind;
        }
        return count;
    }

    /// A path in the test's own directory, which goes away with the test.
    std::string file(const std::string& name) const { return (directory.path() / name).string(); }

    market::MarketServer server;
    TempDirectory directory;
};

} // namespace velmora::test
