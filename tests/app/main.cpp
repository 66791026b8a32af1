#include "app/browserEngine.h"
#include "suites.h"

#include <QApplication>
#include <QLoggingCategory>
#include <QTest>

#include <array>
#include <cstring>
#include <vector>

namespace {

struct Suite {
    const char* name;
    std::unique_ptr<QObject> (*make)();
};

const std::array kSuites = {
    Suite{"MainWindowTest", velmora::test::makeMainWindowTest},
    Suite{"ControlOperationsTest", velmora::test::makeControlOperationsTest},
    Suite{"RunControlTest", velmora::test::makeRunControlTest},
    Suite{"ActivityLogTest", velmora::test::makeActivityLogTest},
    Suite{"ShellPartsTest", velmora::test::makeShellPartsTest},
    Suite{"SaveActionTest", velmora::test::makeSaveActionTest},
    Suite{"CollectionRunTest", velmora::test::makeCollectionRunTest},
    Suite{"StopDrillTest", velmora::test::makeStopDrillTest},
};

} // namespace

// Usage: velmora_app_tests [suite] [Qt Test options]; without a suite name every suite runs.
int main(int argc, char* argv[]) {
    velmora::prepareBrowserEngine();
    QApplication application(argc, argv);
    // The browser engine reports its set-up at every start; the test output has no use for it.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.info=false"));

    const char* chosen = nullptr;
    std::vector<char*> arguments(argv, argv + argc);
    if (argc > 1 && argv[1][0] != '-') {
        chosen = argv[1];
        arguments.erase(arguments.begin() + 1);
    }

    int failures = 0;
    bool found = false;
    for (const Suite& suite : kSuites) {
        if (chosen != nullptr && std::strcmp(chosen, suite.name) != 0) {
            continue;
        }
        found = true;
        const std::unique_ptr<QObject> tests = suite.make();
        failures += QTest::qExec(tests.get(), static_cast<int>(arguments.size()), arguments.data());
    }
    return found ? failures : 1;
}
