// Drives the real windows and the real player for bench/run, and prints what it
// measured as "key value" lines on standard output:
//
//   vantelo_bench_player first-frame CODE
//       the program's start on a channel: the main window and the channel window
//       as the program makes them, the channel played right after the start.
//       first-frame-ms: from the process start (VANTELO_BENCH_T0_NS, the
//       CLOCK_MONOTONIC time at which the caller started the process; else the
//       start time the kernel keeps) to the first picture drawn after the player
//       said Playing. windows-ms: to the moment the windows stood and the
//       channel was chosen; playing-ms: to Playing.
//   vantelo_bench_player zap SETTLE_MS CODE0 CODE1 ...
//       CODE0 plays; SETTLE_MS after its first picture CODE1 is chosen, and so
//       on. zap-ms: from the choice to the first picture of the new channel
//       drawn after Playing (zap-playing-ms: to Playing; zap-chosen-ns: the
//       moment of the choice on the monotonic clock).
//   vantelo_bench_player zap-headless SETTLE_MS CODE0 CODE1 ...
//       the same with the player headless (no picture, no sound) on the
//       offscreen platform: zap-ms is the time to Playing. Tells the engine's
//       share of a change from the picture's.
//   vantelo_bench_player fault CODE COUNT
//       fault-ms: from choosing the channel to the status line's failure, with
//       the text it shows; the channel is chosen COUNT times.
//   vantelo_bench_player play CODE SECONDS
//       plays for SECONDS after the first picture; then peak-rss-kb.
//   vantelo_bench_player soak COUNT WARMUP CODE...
//       the player headless, on the offscreen platform: COUNT channel changes
//       through the codes in turn, each waiting for Playing or Failed (at most
//       2 s) and letting a playing channel run 150 ms. warm-rss-kb after WARMUP
//       changes and end-rss-kb at the end (resting-rss-kb every 250 between),
//       the player stopped: RSS as it is and after malloc_trim.
//
// Every stream address comes from the benchmark's address table, which points
// at bench_server.py on 127.0.0.1.

#include <malloc.h>
#include <unistd.h>

#include <clocale>
#include <cstdio>
#include <ctime>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QOpenGLWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>

#include "app/main_window.h"
#include "platform/mpv_player.h"
#include "platform/prompter.h"
#include "platform/shell.h"

namespace vantelo {
const AddressTable& BenchAddressTable();
}

namespace {

using namespace vantelo;

std::int64_t MonotonicNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return std::int64_t{now.tv_sec} * 1000000000 + now.tv_nsec;
}

double MsBetween(std::int64_t from, std::int64_t to)
{
    return static_cast<double>(to - from) / 1e6;
}

// When the process started, on the monotonic clock: from the caller, who read
// the clock just before starting us, or else from the kernel, in its ticks
// since boot (CLOCK_MONOTONIC counts from boot too on Linux, but in 10 ms steps).
std::int64_t ProcessStartNs()
{
    const QByteArray given = qgetenv("VANTELO_BENCH_T0_NS");
    if (!given.isEmpty())
        return given.toLongLong();
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return MonotonicNs();
    const QByteArray text = stat.readAll();
    // The fields after the command name, which may hold spaces, in brackets.
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    const long long ticks = fields.value(19).toLongLong();  // field 22, starttime
    return ticks * (1000000000 / sysconf(_SC_CLK_TCK));
}

long ProcStatusKb(const char* key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray wanted = QByteArray(key) + ':';
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(wanted))
            return line.mid(wanted.size()).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

class StderrPrompter final : public Prompter {
public:
    void ShowMessage(const QString& caption, const QString& text, PromptIcon) override
    {
        std::fprintf(stderr, "message: %s: %s\n", qPrintable(caption), qPrintable(text));
    }
};

class NoShell final : public Shell {
public:
    void Open(const QUrl&) override {}
};

void Print(const char* key, double value, const QString& note = {})
{
    if (note.isEmpty())
        std::printf("%s %.1f\n", key, value);
    else
        std::printf("%s %.1f %s\n", key, value, qPrintable(note));
    std::fflush(stdout);
}

// What the player and its picture did since the last Reset(), with times.
class Watch : public QObject {
public:
    Watch(MpvPlayer& player, QOpenGLWidget* picture)
    {
        connect(&player, &MpvPlayer::statusChanged, this, [this](const StreamStatus& status) {
            if (status.state == StreamState::Playing && !playingNs)
                playingNs = MonotonicNs();
            if (status.state == StreamState::Failed && !failedNs) {
                failedNs = MonotonicNs();
                failureText = StatusText(status);
            }
            Check();
        });
        if (picture != nullptr) {
            connect(picture, &QOpenGLWidget::frameSwapped, this, [this] {
                if (playingNs && !shownNs)
                    shownNs = MonotonicNs();
                Check();
            });
        }
    }

    void Reset()
    {
        playingNs.reset();
        shownNs.reset();
        failedNs.reset();
        failureText.clear();
    }

    // Runs the event loop until done() holds or timeoutMs passed.
    bool WaitUntil(std::function<bool()> done, int timeoutMs)
    {
        if (done())
            return true;
        m_done = std::move(done);
        QTimer timeout;
        timeout.setSingleShot(true);
        connect(&timeout, &QTimer::timeout, &m_loop, &QEventLoop::quit);
        timeout.start(timeoutMs);
        m_loop.exec();
        const bool met = m_done();
        m_done = nullptr;
        return met;
    }

    std::optional<std::int64_t> playingNs;
    std::optional<std::int64_t> shownNs;
    std::optional<std::int64_t> failedNs;
    QString failureText;

private:
    void Check()
    {
        if (m_done && m_done())
            m_loop.quit();
    }

    QEventLoop m_loop;
    std::function<bool()> m_done;
};

void Sleep(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// The program's two windows with the real player in them, its files in a
// throw-away folder.
struct Program {
    explicit Program(bool headless)
    {
        MainWindowServices services;
        services.prompter = &prompter;
        services.shell = &shell;
        services.languagesRoot = QStringLiteral(VANTELO_BENCH_LANGUAGES);
        services.appDataFolder = dataFolder.path() + QStringLiteral("/Vantelo");
        services.addressTable = &BenchAddressTable();
        services.channelIconsFile = QStringLiteral(VANTELO_BENCH_ICONS);
        services.createPlayer = [this, headless](QWidget* parent) -> std::unique_ptr<PlayerControl> {
            auto created = MpvPlayer::Create({.headless = headless}, parent);
            player = created.get();
            return created;
        };
        window = std::make_unique<CLuvaneDlg>(std::move(services));
    }

    ~Program()
    {
        if (window && window->player() != nullptr)
            window->player()->Close();
    }

    QOpenGLWidget* Picture() const { return player ? player->findChild<QOpenGLWidget*>() : nullptr; }

    void Play(ChannelCode code) { window->channelWindow()->PlayChannel(code); }

    StderrPrompter prompter;
    NoShell shell;
    QTemporaryDir dataFolder;
    MpvPlayer* player = nullptr;
    std::unique_ptr<CLuvaneDlg> window;
};

int Fail(const char* what)
{
    std::fprintf(stderr, "vantelo_bench_player: %s\n", what);
    return 1;
}

ChannelCode CodeArgument(const char* text)
{
    return static_cast<ChannelCode>(std::stoul(text));
}

std::vector<ChannelCode> Codes(const std::vector<std::string>& args, std::size_t from)
{
    std::vector<ChannelCode> codes;
    for (std::size_t i = from; i < args.size(); ++i)
        codes.push_back(CodeArgument(args[i].c_str()));
    return codes;
}

int FirstFrame(ChannelCode code, std::int64_t startNs)
{
    Program program(false);
    if (!program.window->OnInitDialog() || program.player == nullptr)
        return Fail("the windows did not start");
    Watch watch(*program.player, program.Picture());
    const std::int64_t chosen = MonotonicNs();
    program.Play(code);
    if (!watch.WaitUntil([&] { return watch.shownNs.has_value() || watch.failedNs.has_value(); }, 20000) ||
        !watch.shownNs)
        return Fail(qPrintable(QStringLiteral("no picture: ") + watch.failureText));
    Print("first-frame-ms", MsBetween(startNs, *watch.shownNs));
    Print("windows-ms", MsBetween(startNs, chosen));
    Print("playing-ms", MsBetween(startNs, *watch.playingNs));
    return 0;
}

int Zap(int settleMs, const std::vector<ChannelCode>& codes, bool headless)
{
    Program program(headless);
    if (!program.window->OnInitDialog() || program.player == nullptr)
        return Fail("the windows did not start");
    Watch watch(*program.player, program.Picture());
    // Without a picture, Playing is the moment the engine has the first frame.
    const auto shown = [&] {
        if (headless && watch.playingNs)
            watch.shownNs = watch.playingNs;
        return watch.shownNs.has_value() || watch.failedNs.has_value();
    };
    program.Play(codes.front());
    if (!watch.WaitUntil(shown, 20000) || !watch.shownNs)
        return Fail("the first channel showed no picture");
    for (std::size_t change = 1; change < codes.size(); ++change) {
        Sleep(settleMs);
        watch.Reset();
        const std::int64_t chosen = MonotonicNs();
        program.Play(codes[change]);
        if (!watch.WaitUntil(shown, 20000) || !watch.shownNs)
            return Fail(qPrintable(QStringLiteral("no picture after a change: ") + watch.failureText));
        std::printf("zap-chosen-ns %lld\n", static_cast<long long>(chosen));
        Print("zap-ms", MsBetween(chosen, *watch.shownNs));
        Print("zap-playing-ms", MsBetween(chosen, *watch.playingNs));
    }
    return 0;
}

int Fault(ChannelCode code, int count)
{
    Program program(false);
    if (!program.window->OnInitDialog() || program.player == nullptr)
        return Fail("the windows did not start");
    Watch watch(*program.player, program.Picture());
    for (int attempt = 0; attempt < count; ++attempt) {
        watch.Reset();
        const std::int64_t chosen = MonotonicNs();
        program.Play(code);
        if (!watch.WaitUntil([&] { return watch.failedNs.has_value() || watch.playingNs.has_value(); }, 60000))
            return Fail("no failure within 60 s");
        if (!watch.failedNs)
            return Fail("the failing channel played");
        Print("fault-ms", MsBetween(chosen, *watch.failedNs), watch.failureText);
        program.player->Stop();
        Sleep(200);
    }
    return 0;
}

int Play(ChannelCode code, int seconds)
{
    Program program(false);
    if (!program.window->OnInitDialog() || program.player == nullptr)
        return Fail("the windows did not start");
    Watch watch(*program.player, program.Picture());
    program.Play(code);
    if (!watch.WaitUntil([&] { return watch.shownNs.has_value() || watch.failedNs.has_value(); }, 20000) ||
        !watch.shownNs)
        return Fail("no picture");
    Sleep(seconds * 1000);
    if (program.player->status().state != StreamState::Playing)
        return Fail(qPrintable(QStringLiteral("stopped playing: ") + StatusText(program.player->status())));
    Print("peak-rss-kb", static_cast<double>(ProcStatusKb("VmHWM")));
    Print("rss-kb", static_cast<double>(ProcStatusKb("VmRSS")));
    return 0;
}

// The memory of the program at rest: the player stopped and its engine done
// with the stream. Prints RSS as it is, then after handing the heap's free
// memory back to the system: the C library keeps freed blocks of its many
// per-thread arenas, so the first number follows the peaks of the work done
// before, the second what is still in use.
void PrintRestingRss(Program& program, Watch& watch, const char* key)
{
    program.player->Stop();
    watch.WaitUntil([] { return false; }, 500);
    std::printf("%s-kb %ld", key, ProcStatusKb("VmRSS"));
    malloc_trim(0);
    std::printf(" trimmed %ld\n", ProcStatusKb("VmRSS"));
    std::fflush(stdout);
}

int Soak(int count, int warmup, const std::vector<ChannelCode>& codes)
{
    Program program(true);
    if (!program.window->OnInitDialog() || program.player == nullptr)
        return Fail("the windows did not start");
    Watch watch(*program.player, nullptr);
    int played = 0;
    int failed = 0;
    for (int change = 1; change <= count; ++change) {
        watch.Reset();
        program.Play(codes[static_cast<std::size_t>(change) % codes.size()]);
        watch.WaitUntil([&] { return watch.playingNs.has_value() || watch.failedNs.has_value(); }, 2000);
        if (watch.playingNs) {
            ++played;
            Sleep(150);
        } else if (watch.failedNs) {
            ++failed;
        }
        if (change == warmup)
            PrintRestingRss(program, watch, "warm-rss");
        else if (change % 250 == 0 && change < count)
            PrintRestingRss(program, watch, "resting-rss");
        if (change % 100 == 0) {
            std::printf("progress %d rss-kb %ld played %d failed %d\n", change, ProcStatusKb("VmRSS"), played, failed);
            std::fflush(stdout);
        }
    }
    PrintRestingRss(program, watch, "end-rss");
    Print("played", played);
    Print("failed", failed);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::int64_t startNs = ProcessStartNs();
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty())
        return Fail("usage: vantelo_bench_player first-frame|zap|fault|play|soak ...");
    const std::string& mode = args[0];
    if (mode == "soak" || mode == "zap-headless")
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    // libmpv refuses to start unless numbers are formatted the C way.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setQuitOnLastWindowClosed(false);
    try {
        if (mode == "first-frame" && args.size() == 2)
            return FirstFrame(CodeArgument(args[1].c_str()), startNs);
        if ((mode == "zap" || mode == "zap-headless") && args.size() >= 4)
            return Zap(std::stoi(args[1]), Codes(args, 2), mode == "zap-headless");
        if (mode == "fault" && args.size() == 3)
            return Fault(CodeArgument(args[1].c_str()), std::stoi(args[2]));
        if (mode == "play" && args.size() == 3)
            return Play(CodeArgument(args[1].c_str()), std::stoi(args[2]));
        if (mode == "soak" && args.size() >= 4)
            return Soak(std::stoi(args[1]), std::stoi(args[2]), Codes(args, 3));
    } catch (const std::exception& error) {
        return Fail(error.what());
    }
    return Fail("bad arguments");
}
