#include "SampleReplay.h"

#include "explain/Replay.h"
#include "platform/ProgramFolders.h"
#include "state/WindowHost.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <atomic>
#include <thread>

namespace nollex {

namespace {

// A case's input beyond this is no learner's sample; its replay would only be slow.
constexpr qint64 kInputLimit = 16 << 20;
// memcheck runs a program some twenty times slower: a case that ran out of time
// under the limit ends here, with nothing explained that was not seen.
constexpr int kReplayTimeLimitMs = 10000;

}  // namespace

struct SampleReplay::Work {
    const int id = nextId();
    QString program;
    QString folder;
    QList<CaseFiles> cases;
    std::atomic<bool> stop{false};
    std::thread worker;

    static int nextId()
    {
        static int last = 0;
        return ++last;
    }
    ~Work()
    {
        stop = true;
        if (worker.joinable())
            worker.join();
    }
};

SampleReplay::SampleReplay(WindowHost& host, QObject* parent) : QObject(parent), host_(host) {}

SampleReplay::~SampleReplay() = default;

void SampleReplay::stop()
{
    if (work_)
        work_->stop = true;
}

void SampleReplay::start(const QString& program, const QList<CaseFiles>& cases)
{
    work_.reset();
    told_ = false;
    if (!QFileInfo(program).isFile() || !host_.runsFolderReady())
        return;
    work_ = std::make_unique<Work>();
    Work& work = *work_;
    work.program = program;
    work.folder = host_.folders().runs;
    work.cases = cases;
    work.worker = std::thread([this, &work] { replayCases(work); });
}

void SampleReplay::replayCases(Work& work)
{
    ReplayRequest request;
    request.valgrind = valgrindProgram();
    request.program = work.program;
    request.folder = work.folder;
    request.timeLimitMs = kReplayTimeLimitMs;
    request.reportFile =
        work.folder + QStringLiteral("case-replay-%1-%2.xml").arg(QCoreApplication::applicationPid()).arg(work.id);
    for (const CaseFiles& c : std::as_const(work.cases)) {
        if (work.stop)
            break;
        QFile input(c.inputPath);
        request.input = input.open(QIODevice::ReadOnly) ? input.read(kInputLimit) : QByteArray();
        const ReplayResult result = runReplay(request, &work.stop);
        QFile::remove(request.reportFile);
        if (result.end == ReplayEnd::Missing || result.end == ReplayEnd::Failed)
            break;
        if (result.end == ReplayEnd::Stopped || result.errors.isEmpty())
            continue;
        QMetaObject::invokeMethod(
            this,
            [this, id = work.id, name = c.name, errors = result.errors] {
                if (work_ && work_->id == id && !work_->stop)
                    show(name, errors);
            },
            Qt::QueuedConnection);
    }
}

void SampleReplay::show(const QString& name, const QList<ReplayError>& errors)
{
    const std::optional<Explanation> e = ReplayExplainer::installed().explain(errors, host_.builtPageFacts());
    if (!e)
        return;
    if (!told_)
        host_.appendMessages({QStringLiteral("値を入れる前の変数を使ったケースがあります（valgrind で再実行して確かめました）:")}, std::nullopt);
    told_ = true;
    QStringList lines = e->text.split(u'\n');
    lines.first() = QStringLiteral("%1  注意: %2").arg(name, lines.first());
    host_.appendMessages(lines, e->place.line > 0 ? std::optional(e->place) : std::nullopt);
}

}  // namespace nollex
