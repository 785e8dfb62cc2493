// A console window that opens nothing: it appends its arguments (tab-separated,
// one line per start) to the file BENCH_TERMINAL_LOG names and returns at once.
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    const char* log = std::getenv("BENCH_TERMINAL_LOG");
    if (!log)
        return 0;
    if (FILE* f = std::fopen(log, "a")) {
        for (int i = 1; i < argc; ++i)
            std::fprintf(f, "%s%s", i > 1 ? "\t" : "", argv[i]);
        std::fputc('\n', f);
        std::fclose(f);
    }
    return 0;
}
