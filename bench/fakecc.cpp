// A compiler that does no compiling: it writes the file named after "-o" (a small
// shell program when it ends in ".exe") and, when BENCH_FAKECC_LOG names a file,
// appends its arguments there, one line per call, separated by tabs. It stands for
// the host compiler where only the time around the compiler is measured.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>

int main(int argc, char** argv)
{
    if (const char* log = std::getenv("BENCH_FAKECC_LOG")) {
        if (FILE* f = std::fopen(log, "a")) {
            for (int i = 1; i < argc; ++i)
                std::fprintf(f, "%s%s", i > 1 ? "\t" : "", argv[i]);
            std::fputc('\n', f);
            std::fclose(f);
        }
    }
    const char* output = nullptr;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "-o") == 0)
            output = argv[i + 1];
    }
    if (!output)
        return 0;
    FILE* f = std::fopen(output, "w");
    if (!f)
        return 1;
    const std::string name = output;
    const bool program = name.size() > 4 && name.compare(name.size() - 4, 4, ".exe") == 0;
    std::fputs(program ? "#!/bin/sh\necho Hello\n" : "object\n", f);
    std::fclose(f);
    if (program)
        chmod(output, 0755);
    return 0;
}
