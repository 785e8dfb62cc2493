// Runs one fuzz target's entry point without libFuzzer: every file of its corpus,
// then a seeded series of random inputs and mutations of the corpus. The run is
// the same on every machine for a given seed; NOLLEX_FUZZ_SEED and NOLLEX_FUZZ_RUNS
// choose another series or length. A failing input is printed and written to
// <build>/tests/fuzz-failure-<target>.bin, which the libFuzzer program can replay.

#include "FuzzSupport.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <cstdio>
#include <random>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

const QByteArray* current = nullptr;

void reportCurrent()
{
    if (!current)
        return;
    std::fprintf(stderr, "input of %lld bytes (hex): %s\n", static_cast<long long>(current->size()),
                 current->toHex().constData());
    QFile out(QStringLiteral(NOLLEX_BINARY_DIR "/tests/fuzz-failure-" NOLLEX_FUZZ_NAME ".bin"));
    if (out.open(QIODevice::WriteOnly))
        out.write(*current);
}

void run(const QByteArray& input)
{
    current = &input;
    // A copy of exactly the input's size, so reading past it is caught.
    std::vector<uint8_t> bytes(input.begin(), input.end());
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    current = nullptr;
}

std::vector<QByteArray> corpus()
{
    std::vector<QByteArray> files;
    const QDir dir(QStringLiteral(NOLLEX_FUZZ_CORPUS));
    for (const QString& name : dir.entryList(QDir::Files, QDir::Name)) {
        QFile f(dir.filePath(name));
        if (f.open(QIODevice::ReadOnly))
            files.push_back(f.readAll());
    }
    return files;
}

// Pieces that the parsers give meaning to, so random inputs reach past the first check.
const char* const Tokens[] = {
    "[", "]", "=", "\"", "'", ";", " ", "\t", "\r\n", "\n", "\r", "" /* a NUL byte */,
    ">", ">>", "2>", "2>&1", "<", "&", "|", "^", "%", "@", "0x", "$", "-", "+",
    "cd ", "chdir ", "rem ", "exit ", "cls", "/d ", "[System]", "[Project]", "Version=200",
    "Index=", "MainIndex=", "file0=", "-n", "-I", "-L", "-e", "-c", "-S", "-P", "-j", "-w-",
    ".c", ".cpp", ".obj", ".lib", "/", "\\", "\xEF\xBB\xBF", "\x81", "\x82\xA0", "\x95\x5C",
    "\xE3\x81\x82", "\xE2\x80\xA9", "\xEF\xB7\x90", "\xC3\xBD", "\xFF", "\x80",
    "2147483647", "-2147483648", "4294967296", "9999",
};

class Mutator {
public:
    explicit Mutator(unsigned seed) : rng_(seed) {}

    int below(int n) { return n <= 0 ? 0 : std::uniform_int_distribution<int>(0, n - 1)(rng_); }

    QByteArray token()
    {
        const char* t = Tokens[below(int(std::size(Tokens)))];
        return *t ? QByteArray(t) : QByteArray(1, '\0');
    }

    QByteArray randomInput()
    {
        QByteArray out;
        const int pieces = below(40);
        for (int i = 0; i < pieces; ++i) {
            switch (below(3)) {
            case 0: out += token(); break;
            case 1: out += char(below(256)); break;
            default: out += QByteArray(1 + below(6), char('a' + below(26))); break;
            }
        }
        return out;
    }

    QByteArray mutate(QByteArray in, const std::vector<QByteArray>& pool)
    {
        const int steps = 1 + below(4);
        for (int s = 0; s < steps; ++s) {
            const int size = int(in.size());
            switch (below(8)) {
            case 0:
                if (size) {
                    const int at = below(size);
                    in[at] = char(in[at] ^ (1 << below(8)));
                }
                break;
            case 1:
                if (size)
                    in[below(size)] = char(below(256));
                break;
            case 2:
                in.insert(below(size + 1), token());
                break;
            case 3:
                if (size) {
                    const int at = below(size);
                    in.remove(at, 1 + below(std::min(16, size - at)));
                }
                break;
            case 4:
                if (size) {
                    const int at = below(size);
                    in.insert(below(size + 1), in.mid(at, 1 + below(std::min(32, size - at))));
                }
                break;
            case 5:
                if (!pool.empty()) {
                    const QByteArray& other = pool[below(int(pool.size()))];
                    in = in.left(below(size + 1)) + other.mid(below(int(other.size()) + 1));
                }
                break;
            case 6:
                in.truncate(below(size + 1));
                break;
            default:
                in.insert(below(size + 1), QByteArray(1 + below(4), char(below(256))));
                break;
            }
        }
        return in;
    }

private:
    std::mt19937 rng_;
};

int settingOr(const char* name, int fallback)
{
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok ? value : fallback;
}

}  // namespace

TEST(NOLLEX_FUZZ_SUITE, EveryCorpusFile)
{
    nollex::fuzz::failureHook = reportCurrent;
    const std::vector<QByteArray> files = corpus();
    ASSERT_FALSE(files.empty()) << NOLLEX_FUZZ_CORPUS;
    for (const QByteArray& f : files)
        run(f);
}

TEST(NOLLEX_FUZZ_SUITE, SeededRandomAndMutatedInputs)
{
    nollex::fuzz::failureHook = reportCurrent;
    const unsigned seed = unsigned(settingOr("NOLLEX_FUZZ_SEED", 20240917));
    const int runs = settingOr("NOLLEX_FUZZ_RUNS", NOLLEX_FUZZ_DEFAULT_RUNS);
    std::printf("seed %u, %d inputs\n", seed, runs);
    Mutator m(seed);
    std::vector<QByteArray> pool = corpus();
    const std::size_t seeds = pool.size();
    for (int i = 0; i < runs; ++i) {
        QByteArray input = m.below(4) == 0 || pool.empty() ? m.randomInput()
                                                           : m.mutate(pool[m.below(int(pool.size()))], pool);
        if (input.size() > 4096)
            input.truncate(4096);  // libFuzzer's default length limit
        run(input);
        // Mutated inputs become seeds in turn, so mutations stack up over the run.
        if (pool.size() < seeds + 256)
            pool.push_back(input);
        else
            pool[seeds + std::size_t(m.below(256))] = input;
    }
}
