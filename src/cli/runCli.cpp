#include "cli/runCli.h"

#include "cli/CliView.h"
#include "cli/cliOptions.h"
#include "cli/cookiesFile.h"
#include "collectors/Endpoints.h"
#include "collectors/RunContext.h"
#include "collectors/collectKeyword.h"
#include "collectors/collectShop.h"
#include "output/utf8Text.h"
#include "text/codePages.h"

#include <cerrno>
#include <cstring>
#include <fstream>

namespace velmora {

namespace {

int invalidInput(std::ostream& err, const std::string& problem) {
    err << "velmora-cli: " << problem << '\n' << "Try 'velmora-cli --help'.\n" << std::flush;
    return kExitInvalidInput;
}

int exitStatusOf(RunOutcome outcome) {
    switch (outcome) {
    case RunOutcome::Finished:
        return kExitFinished;
    case RunOutcome::NoResults:
        return kExitEndedEarly;
    case RunOutcome::Stopped:
        break;
    }
    return kExitInterrupted;
}

} // namespace

int runCli(const std::vector<std::string>& args, const CliEnvironment& env) {
    auto parsed = parseCliOptions(args);
    if (const std::string* problem = std::get_if<std::string>(&parsed)) {
        return invalidInput(env.err, *problem);
    }
    const CliOptions& options = std::get<CliOptions>(parsed);
    if (options.help) {
        env.out << kCliUsage << std::flush;
        return kExitFinished;
    }

    RunSettings settings;
    applyFilterInputs(options.inputs, settings);
    const RunCheck check = checkRunInputs(options.inputs);
    if (const Text* message = std::get_if<Text>(&check)) {
        // The window's own message, as its message box shows it.
        env.err << utf8FromText(*message) << '\n' << std::flush;
        return kExitInvalidInput;
    }
    const RunPlan& plan = std::get<RunPlan>(check);
    applyRunPlan(plan, settings);
    settings.setSortSuffix(options.bySales ? Text(kSalesSortSuffix) : Text());

    if (options.cookiesFile) {
        if (auto error = loadCookiesFile(*options.cookiesFile)) {
            return invalidInput(env.err, *error);
        }
    }

    // A file starts with what its format wants at the start of a file (the byte-order mark of CSV).
    std::ofstream file;
    if (options.outputFile) {
        file.open(*options.outputFile, std::ios::binary | std::ios::trunc);
        if (file) {
            file << fileStart(options.format);
        }
        if (!file) {
            return invalidInput(env.err, "cannot write " + *options.outputFile + ": " + std::strerror(errno));
        }
    }
    const std::string outputName = options.outputFile ? *options.outputFile : "standard output";
    std::ostream& rows = options.outputFile ? file : env.out;
    CliView view(rows, options.format, env.err, env.errIsTerminal);
    if (!(rows << headerLine(options.format) << std::flush)) {
        view.notice("cannot write the rows to " + outputName);
        return kExitEndedEarly;
    }

    const std::shared_ptr<CancelToken> token = env.stop ? env.stop : std::make_shared<CancelToken>();
    const CancelScope scope(token);
    const Endpoints endpoints = options.marketDomain ? Endpoints::simulator(utf8ToAnsi(*options.marketDomain))
                                                     : Endpoints::marketplace();
    const RunContext run{view, settings, endpoints, env.attemptPause};

    view.log(runStartMessage(plan.mode));
    const RunOutcome outcome = plan.mode == RunMode::Keyword ? collectKeyword(run) : collectShop(run);
    view.finish();

    if (view.outputFailed()) {
        view.notice("cannot write the rows to " + outputName);
        return kExitEndedEarly;
    }
    return token->isCancelled() ? kExitInterrupted : exitStatusOf(outcome);
}

} // namespace velmora
