// The stand-in compiler's switch parser and the host commands it plans. The input
// is a bcc32.cfg text and a command line (separated by a NUL byte). Any input must
// give a plan or a reason; every host command must keep its file names apart from
// its options; and the line a build writes, with any folder and file name, must
// compile exactly that file into exactly that folder.

#include "FuzzSupport.h"

#include "bcc32/Switches.h"
#include "platform/WinCommandLine.h"

#include <algorithm>

using namespace nollex;
using namespace nollex::bcc;

namespace {

bool isOption(const std::string& word)
{
    return !word.empty() && word.front() == '-';
}

void checkSteps(const Plan& plan)
{
    const std::vector<Step> steps = HostSteps(plan, Host{});
    const bool link = !plan.compileOnly && !plan.assemblyOnly;
    FUZZ_CHECK(steps.size() == plan.sources.size() + (link ? 1 : 0));
    for (std::size_t i = 0; i < plan.sources.size(); ++i) {
        const Step& s = steps[i];
        // ... -x LANGUAGE SOURCE -o OUTPUT
        FUZZ_CHECK(s.argv.size() >= 6);
        const std::size_t n = s.argv.size();
        FUZZ_CHECK(s.argv[n - 5] == "-x" && s.argv[n - 3] == plan.sources[i].path);
        FUZZ_CHECK(s.argv[n - 2] == "-o" && s.argv[n - 1] == s.output && !s.output.empty());
        FUZZ_CHECK(!isOption(plan.sources[i].path));
    }
    if (!link)
        return;
    const Step& l = steps.back();
    FUZZ_CHECK(!l.output.empty());
    FUZZ_CHECK(l.argv.size() >= 3 && l.argv[l.argv.size() - 2] == "-o" && l.argv.back() == l.output);
    // The link's inputs are files: one that began with "-" would be read as an option.
    for (std::size_t i = 0; i < plan.sources.size(); ++i) {
        const std::string& object = steps[i].output;
        FUZZ_CHECK(!isOption(object));
        FUZZ_CHECK(std::find(l.argv.begin(), l.argv.end(), object) != l.argv.end());
    }
    for (const std::string& input : plan.linkInputs)
        FUZZ_CHECK(!isOption(input));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::vector<std::string> parts =
        fuzz::splitAtNul(std::string_view(reinterpret_cast<const char*>(data), size));
    const std::vector<std::string> config = ParseConfigText(parts[0]);
    const std::string commandLine = parts.size() > 1 ? parts[1] : std::string();

    const Plan plan = PlanBuild(config, SplitWindowsCommandLine(commandLine));
    FUZZ_CHECK(plan.error.empty() == !(plan.sources.empty() && plan.linkInputs.empty()));
    FUZZ_CHECK(plan.outputFolder.empty() || plan.outputFolder.back() == '/');
    if (plan.error.empty())
        checkSteps(plan);

    // The build's own compile line: -n"FOLDER" "FOLDER/NAME.cpp" after the options.
    if (parts.size() >= 3) {
        const std::string& folder = parts[1];
        const std::string source = "/" + parts[2] + ".cpp";
        const std::string line = "-w -v -n" + QuoteWindowsArgument(folder) + ' ' + QuoteWindowsArgument(source);
        const Plan built = PlanBuild(config, SplitWindowsCommandLine(line));
        FUZZ_CHECK(built.error.empty());
        FUZZ_CHECK(!built.sources.empty() && built.sources.back().path == source);
        FUZZ_CHECK(built.sources.back().language == Language::Cxx);
        FUZZ_CHECK(built.outputFolder == (folder.empty() || folder.back() == '/' ? folder : folder + '/'));
        checkSteps(built);
    }
    return 0;
}
