#include "bcc32/Switches.h"

#include "platform/WinCommandLine.h"

#include <algorithm>

namespace nollex::bcc {

namespace {

std::string lower(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

std::string extensionOf(std::string_view path)
{
    const std::size_t slash = path.rfind('/');
    const std::size_t dot = path.rfind('.');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
        return {};
    return lower(path.substr(dot));
}

std::string baseNameOf(std::string_view path)
{
    const std::size_t slash = path.rfind('/');
    std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    return std::string(dot == std::string_view::npos || dot == 0 ? name : name.substr(0, dot));
}

bool allDigits(std::string_view s)
{
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

void addNote(Plan& plan, std::string note)
{
    if (std::find(plan.notes.begin(), plan.notes.end(), note) == plan.notes.end())
        plan.notes.push_back(std::move(note));
}

// Folder lists may hold several folders separated by ";".
void addFolders(std::vector<std::string>& flags, std::string_view hostSwitch, std::string_view list)
{
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t end = list.find(';', start);
        if (end == std::string_view::npos)
            end = list.size();
        if (end > start)
            flags.push_back(std::string(hostSwitch) + std::string(list.substr(start, end - start)));
        start = end + 1;
    }
}

// The state that the last switch of its kind decides.
struct Choices {
    std::string cpu;           // "3".."6"
    std::string optimize;      // host switch
    std::string warnings;      // host switch
    std::string charSign;      // host switch
    std::string enumSize;      // host switch
    bool stackCheck = false;
    bool debugInfo = false;
};

// The switches that set a choice of Choices; false for any other.
bool takeChoice(std::string_view s, Choices& c)
{
    if (s == "3" || s == "4" || s == "5" || s == "6") {
        c.cpu = std::string(s);
    } else if (s == "K") {
        c.charSign = "-funsigned-char";  // plain char is unsigned
    } else if (s == "K-") {
        c.charSign = "-fsigned-char";
    } else if (s == "N") {
        // Stack overflow check: probe every new stack page, so an overflow always
        // hits the guard page and stops the program instead of overwriting memory.
        c.stackCheck = true;
    } else if (s == "N-") {
        c.stackCheck = false;
    } else if (s == "b") {
        c.enumSize = "-fno-short-enums";  // enums are int-sized
    } else if (s == "b-") {
        c.enumSize = "-fshort-enums";  // enums as small as their values allow
    } else if (s == "O1") {
        c.optimize = "-Os";  // favours size
    } else if (s == "O2") {
        c.optimize = "-O2";  // favours speed
    } else if (s == "Od") {
        c.optimize = "-O0";
    } else if (s == "w") {
        c.warnings = "-Wall";  // "-w" turns warnings on
    } else if (s == "w-") {
        c.warnings = "-w";  // gcc's own -w turns them all off
    } else if (s == "v") {
        c.debugInfo = true;
    } else if (s == "v-") {
        c.debugInfo = false;
    } else {
        return false;
    }
    return true;
}

// The switches without a value that change the plan itself; false for any other.
bool takePlanSwitch(const std::string& word, std::string_view s, Plan& plan)
{
    if (s == "B" || s == "q") {
        // Compiling through assembly: gcc always does. Quiet: there is no banner.
    } else if (s == "C") {
        addNote(plan, "-C ignored: gcc/g++ do not nest comments");
    } else if (s == "P") {
        plan.forceCxx = true;  // C++ whatever the extension
    } else if (s == "S") {
        plan.assemblyOnly = true;  // NAME.asm (gcc's assembly), nothing linked
    } else if (s == "c") {
        plan.compileOnly = true;
    } else if (s == "p") {
        addNote(plan, "-p ignored: the Pascal calling convention does not exist on this machine; "
                      "the C convention is used");
    } else if (s.starts_with("std=")) {
        plan.compileFlags.push_back(word);  // a language standard for the host compiler
    } else {
        return false;
    }
    return true;
}

// The switches named by their letter, most with a value after it; false for any other.
bool takeLetterSwitch(const std::string& word, char letter, std::string_view rest, Plan& plan)
{
    if (letter == 'w') {
        addNote(plan, word + " ignored: single warnings are not switched by name here");
    } else if (letter == 'g') {
        addNote(plan, word + " ignored: gcc/g++ cannot stop after a number of warnings");
    } else if (letter == 'j') {
        if (allDigits(rest))
            plan.compileFlags.push_back("-fmax-errors=" + std::string(rest));  // stops after N errors; 0: no limit
        else
            addNote(plan, "-j needs a number of errors (-j5); ignored");
    } else if (letter == 'H') {
        addNote(plan, word + " ignored: g++ uses a precompiled NAME.gch beside a header by itself");
    } else if (letter == 'I' || letter == 'L') {
        if (rest.empty())
            addNote(plan, std::string{'-', letter} + " without a folder: ignored");
        addFolders(letter == 'I' ? plan.compileFlags : plan.linkFlags, letter == 'I' ? "-I" : "-L", rest);
    } else if (letter == 'T') {
        addNote(plan, word + " ignored: the host assembler takes other options");
    } else if (letter == 'n') {
        plan.outputFolder = std::string(rest);
        if (!plan.outputFolder.empty() && plan.outputFolder.back() != '/')
            plan.outputFolder += '/';
    } else if (letter == 'e' && !rest.empty()) {
        plan.exeName = std::string(rest);
    } else if ((letter == 'D' || letter == 'U') && !rest.empty()) {
        plan.compileFlags.push_back(word);  // same meaning for gcc
    } else {
        return false;
    }
    return true;
}

void takeSwitch(const std::string& word, Plan& plan, Choices& c)
{
    const std::string_view s = std::string_view(word).substr(1);
    const std::string_view rest = s.empty() ? s : s.substr(1);
    const char letter = s.empty() ? '\0' : s[0];
    // The exact names first: "-w" and "-w-" are choices, "-w..." is a note.
    if (takeChoice(s, c) || takePlanSwitch(word, s, plan) || takeLetterSwitch(word, letter, rest, plan))
        return;
    addNote(plan, word + " ignored: no equivalent here");
}

void takeFile(const std::string& word, Plan& plan)
{
    const std::string ext = extensionOf(word);
    if (ext == ".obj" || ext == ".o" || ext == ".a") {
        plan.linkInputs.push_back(word);
    } else if (ext == ".lib" || ext == ".res" || ext == ".def" || ext == ".rc") {
        addNote(plan, word + " ignored: Windows libraries and resources have no use here");
    } else if (ext == ".asm") {
        addNote(plan, word + " ignored: the host assembler cannot read this assembly language");
    } else if (!word.empty() && word[0] == '@') {
        addNote(plan, word + " ignored: response files are not read");
    } else {
        plan.sources.push_back({word, ext == ".c" ? Language::C : Language::Cxx});
    }
}

}  // namespace

Plan PlanBuild(const std::vector<std::string>& configWords,
               const std::vector<std::string>& commandWords)
{
    Plan plan;
    Choices c;
    for (const auto* words : {&configWords, &commandWords}) {
        for (const std::string& w : *words) {
            if (w.size() >= 2 && w[0] == '-')
                takeSwitch(w, plan, c);
            else if (w == "-")
                addNote(plan, "- ignored: no equivalent here");
            else if (!w.empty())
                takeFile(w, plan);
        }
    }

    if (!c.cpu.empty()) {
#if defined(__i386__)
        static const char* const kArch[] = {"-march=i386", "-march=i486", "-march=pentium", "-march=pentiumpro"};
        plan.compileFlags.push_back(kArch[c.cpu[0] - '3']);
#endif
        // Elsewhere the host compiler builds for this machine's processor, which runs
        // 80386..Pentium Pro code: nothing to do, and nothing to say on every build.
    }
    for (const std::string* flag : {&c.optimize, &c.warnings, &c.charSign, &c.enumSize})
        if (!flag->empty())
            plan.compileFlags.push_back(*flag);
    if (c.stackCheck)
        plan.compileFlags.push_back("-fstack-clash-protection");
    if (c.debugInfo)
        plan.compileFlags.push_back("-g");  // "-v": debug information

    if (plan.sources.empty() && plan.linkInputs.empty())
        plan.error = "no source file given";
    return plan;
}

namespace {

// The compile of one source; index counts the steps before it.
Step compileStep(const SourceFile& src, bool cxx, const Plan& plan, const Host& host, std::size_t index)
{
    const bool compat = !host.compat.includeFolder.empty();
    const bool links = !plan.compileOnly && !plan.assemblyOnly;
    Step step;
    step.argv = cxx ? host.cxx : host.cc;
    step.output = plan.outputFolder + baseNameOf(src.path) + (plan.assemblyOnly ? ".asm" : ".obj");
    // The link lists the objects among its options: "-x.obj" would be read as one.
    if (step.output.front() == '-')
        step.output.insert(0, "./");
    step.argv.push_back(plan.assemblyOnly ? "-S" : "-c");
    step.argv.insert(step.argv.end(), plan.compileFlags.begin(), plan.compileFlags.end());
    // The host compiler reads UTF-8; a Shift-JIS page would turn the 0x5C second
    // byte of 表 or ソ into an escape and print Shift-JIS into a UTF-8 terminal.
    if (src.shiftJis)
        step.argv.push_back("-finput-charset=CP932");
    if (compat) {
        // After the system's own folders too: a header the machine has wins.
        step.argv.insert(step.argv.end(), {"-idirafter", host.compat.includeFolder});
        // -MD, not -MMD: headers from -idirafter folders count as system headers.
        if (links && !host.compat.scratchFolder.empty()) {
            step.headerList = host.compat.scratchFolder + "/" + std::to_string(index) + ".d";
            step.argv.insert(step.argv.end(), {"-MD", "-MF", step.headerList});
        }
    }
    // The language is named, not guessed from the extension: ".C" is C here as it
    // is on Windows, and a page saved as ".txt" still compiles as C++.
    step.argv.insert(step.argv.end(), {"-x", cxx ? "c++" : "c", src.path});
    step.argv.insert(step.argv.end(), {"-o", step.output});
    return step;
}

// The link of the compiled objects and the object files given by name.
Step linkStep(const Plan& plan, const Host& host, const std::vector<std::string>& objects, bool anyCxx,
              bool withCompatLibrary)
{
    // g++ links C objects as well, so it also takes a link of object files alone.
    const bool linkAsCxx = anyCxx || plan.sources.empty();
    Step link;
    link.argv = linkAsCxx ? host.cxx : host.cc;
    std::string name = plan.exeName;
    if (name.empty())
        name = baseNameOf(plan.sources.empty() ? plan.linkInputs.front() : plan.sources.front().path);
    if (extensionOf(name).empty())
        name += ".exe";
    link.output = name.find('/') == std::string::npos ? plan.outputFolder + name : name;
    link.argv.insert(link.argv.end(), objects.begin(), objects.end());
    link.argv.insert(link.argv.end(), plan.linkInputs.begin(), plan.linkInputs.end());
    link.argv.insert(link.argv.end(), plan.linkFlags.begin(), plan.linkFlags.end());
    if (!host.compat.includeFolder.empty() && (withCompatLibrary || !plan.linkInputs.empty()))
        link.argv.push_back(host.compat.library);
    if (!linkAsCxx)
        link.argv.push_back("-lm");  // g++ links the maths library itself; gcc needs telling
    link.argv.insert(link.argv.end(), {"-o", link.output});
    return link;
}

}  // namespace

std::vector<Step> HostSteps(const Plan& plan, const Host& host, bool withCompatLibrary)
{
    std::vector<Step> steps;
    std::vector<std::string> objects;
    bool anyCxx = false;
    for (const SourceFile& src : plan.sources) {
        const bool cxx = plan.forceCxx || src.language == Language::Cxx;
        anyCxx = anyCxx || cxx;
        steps.push_back(compileStep(src, cxx, plan, host, steps.size()));
        objects.push_back(steps.back().output);
    }
    if (!plan.compileOnly && !plan.assemblyOnly)
        steps.push_back(linkStep(plan, host, objects, anyCxx, withCompatLibrary));
    return steps;
}

bool IsValidUtf8(std::string_view bytes)
{
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        int follow = 0;
        unsigned min = 0;
        unsigned code = 0;
        if (lead < 0x80) {
            ++i;
            continue;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            follow = 1, min = 0x80, code = lead & 0x1Fu;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            follow = 2, min = 0x800, code = lead & 0x0Fu;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            follow = 3, min = 0x10000, code = lead & 0x07u;
        } else {
            return false;
        }
        if (bytes.size() - i <= static_cast<std::size_t>(follow))
            return false;
        for (int k = 1; k <= follow; ++k) {
            const auto b = static_cast<unsigned char>(bytes[i + std::size_t(k)]);
            if ((b & 0xC0u) != 0x80u)
                return false;
            code = (code << 6) | (b & 0x3Fu);
        }
        if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += std::size_t(follow) + 1;
    }
    return true;
}

bool ListsFileIn(std::string_view dependencies, std::string_view folder)
{
    std::string prefix(folder);
    if (prefix.empty())
        return false;
    if (prefix.back() != '/')
        prefix += '/';
    // Words are separated by blanks and line breaks; inside a name a blank is
    // written "\ ", a "#" "\#" and a "$" "$$"; a backslash ends a line that goes on.
    std::string word;
    auto wordNamesFile = [&] { return word.starts_with(prefix); };
    for (std::size_t i = 0; i < dependencies.size(); ++i) {
        const char c = dependencies[i];
        const char next = i + 1 < dependencies.size() ? dependencies[i + 1] : '\0';
        if (c == '\\' && (next == ' ' || next == '#' || next == '\t')) {
            word += next;
            ++i;
        } else if (c == '$' && next == '$') {
            word += '$';
            ++i;
        } else if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || (c == '\\' && next == '\n')) {
            if (wordNamesFile())
                return true;
            word.clear();
        } else {
            word += c;
        }
    }
    return wordNamesFile();
}

std::vector<std::string> ParseConfigText(std::string_view text)
{
    std::vector<std::string> words;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        for (std::string& w : SplitWindowsCommandLine(line))
            words.push_back(std::move(w));
        start = end + 1;
    }
    return words;
}

void AddRunTimeChecks(Plan& plan, const std::string& guardLibrary)
{
    const std::vector<std::string> checks{"-fsanitize=address,undefined", "-fno-sanitize-recover=all",
                                          "-fno-omit-frame-pointer", "-g"};
    plan.compileFlags.insert(plan.compileFlags.end(), checks.begin(), checks.end());
    // After the option set's own level: the optimiser removes a fault whose result
    // goes unused together with its check, and turns a dead local's address into NULL.
    plan.compileFlags.emplace_back("-O0");
    plan.linkFlags.insert(plan.linkFlags.end(), checks.begin(), checks.end());
    plan.linkFlags.insert(plan.linkFlags.end(), {"-static-libasan", "-static-libubsan"});
    if (!guardLibrary.empty())
        plan.linkFlags.insert(plan.linkFlags.end(), {"-Wl,--whole-archive", guardLibrary, "-Wl,--no-whole-archive"});
}

void AddDebugInfo(Plan& plan)
{
    plan.compileFlags.insert(plan.compileFlags.end(), {"-g", "-O0"});
}

std::vector<Step> ReplaySteps(Plan plan, const Host& host, const std::string& program)
{
    AddDebugInfo(plan);
    plan.exeName = program;
    plan.compileOnly = plan.assemblyOnly = false;
    Host unlisted = host;
    unlisted.compat.scratchFolder.clear();
    std::vector<Step> steps = HostSteps(plan, unlisted, true);
    // Objects beside the program, named after it: two windows' replays never share one.
    for (std::size_t i = 0; i + 1 < steps.size(); ++i) {
        const std::string object = program + "." + std::to_string(i) + ".o";
        for (std::string& word : steps.back().argv)
            if (word == steps[i].output)
                word = object;
        steps[i].output = steps[i].argv.back() = object;
    }
    return steps;
}

}  // namespace nollex::bcc
