// How long the desktop client takes from process start until the user sees content, and how much
// memory its main process holds then, against the smallest Qt WebEngine program that loads the
// same page. Every iteration starts both programs (alternating which goes first, so neither
// inherits a warmer machine), each in fresh user folders under the offscreen platform, against a
// demo platform on the portal address the client is built with.
//
// Times are manual: from just before the process is spawned until the event that counts.
//  - First contentful paint: the page's own paint entry (epoch milliseconds, read through the
//    same script expression on both sides), so the polling that reads it adds nothing.
//  - First completed navigation: the moment the first successful "loadFinished" line appears in
//    the program's event log; both logs are read by the same loop, so the reading delay is equal.
// The reported time is the client's. Counters: both sides' medians and the median of the
// per-iteration ratios, for the benchmark's own event, the other event and main-process memory.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "common/app_record.h"
#include "common/text.h"
#include "content/content_page.h"
#include "content/content_url.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// The client's portal, content-data and update addresses are fixed at build time to this port.
constexpr int kPortalPort = 47810;
constexpr const char* kPortalBase = "http://127.0.0.1:47810";
constexpr const char* kContentPagePath = "/content/page.html";
constexpr const char* kPortalCoursesPath = "/portal/courses";

constexpr int kIterations = 5;
// Memory is read this long after the first finished load, while the program lingers: by then
// the client's full-window loader has faded out (it goes 500 ms after load), so the figure is
// the settled page's, not that of a composited overlay on its way out.
constexpr double kRssSettleMs = 1200;
constexpr int kLingerMs = 1400;
constexpr int kProgramTimeLimitMs = 20000;
constexpr auto kLaunchLimit = 30s;
constexpr auto kLogPollInterval = 1ms;

// Epoch milliseconds of the document's first contentful paint; 0 while it has not painted.
constexpr const char* kFirstPaintProbe =
    "(function(){var p=performance.getEntriesByName('first-contentful-paint')[0];"
    "return p?performance.timeOrigin+p.startTime:0;})()";
constexpr const char* kPaintedCondition =
    "performance.getEntriesByName('first-contentful-paint').length>0";
// Epoch milliseconds at which the first subframe's document had arrived; 0 without a subframe.
constexpr const char* kFrameProbe =
    "(function(){var f=performance.getEntriesByType('resource').filter(function(r){"
    "return r.initiatorType==='iframe';})[0];return f?performance.timeOrigin+f.responseEnd:0;})()";

double EpochMs() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6;
}

double MsSince(Clock::time_point start, Clock::time_point end) {
    return std::chrono::duration<double, std::milli>(end - start).count();
}

class TempDir {
  public:
    explicit TempDir(const char* prefix) {
        std::string pattern = (fs::temp_directory_path() / prefix).string() + "XXXXXX";
        if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
    }
    ~TempDir() {
        std::error_code ignored;
        if (!path_.empty() && !keep_) fs::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const fs::path& path() const { return path_; }
    bool valid() const { return !path_.empty(); }
    void Keep() { keep_ = true; }

  private:
    fs::path path_;
    bool keep_ = false;
};

// Spawns `argv` in a process group of its own (its browser helpers join it), with output to
// `outputPath`. Returns -1 when the process could not be started.
pid_t Spawn(const std::vector<std::string>& argv, const std::vector<std::string>& env,
            const fs::path& outputPath) {
    std::vector<char*> args;
    for (const auto& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    std::vector<char*> envp;
    for (const auto& e : env)
        envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outputPath.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    pid_t pid = -1;
    const int error = posix_spawn(&pid, args[0], &actions, &attributes, args.data(), envp.data());
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    return error == 0 ? pid : -1;
}

// Waits for `pid` until `deadline`, then ends its group. Browser helpers still in the group once
// their parent is gone are told to stop and, after a moment, ended, so no run overlaps the next
// (left alone, some idle on for about two seconds).
std::optional<int> Reap(pid_t pid, Clock::time_point deadline) {
    std::optional<int> exitCode;
    int status = 0;
    for (;;) {
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) {
            if (WIFEXITED(status)) exitCode = WEXITSTATUS(status);
            break;
        }
        if (done < 0) break;
        if (Clock::now() >= deadline) {
            kill(-pid, SIGKILL);
            waitpid(pid, &status, 0);
            break;
        }
        std::this_thread::sleep_for(2ms);
    }
    if (kill(-pid, SIGTERM) != 0) return exitCode;
    const auto helpersDeadline = Clock::now() + 500ms;
    while (kill(-pid, 0) == 0 && Clock::now() < helpersDeadline)
        std::this_thread::sleep_for(5ms);
    if (kill(-pid, 0) == 0) kill(-pid, SIGKILL);
    return exitCode;
}

long ReadRssKiB(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
    }
    return 0;
}

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Reads the JSON lines a program appends to its event log, as they arrive.
class EventTail {
  public:
    explicit EventTail(fs::path path) : path_(std::move(path)) {}
    ~EventTail() {
        if (fd_ >= 0) close(fd_);
    }
    EventTail(const EventTail&) = delete;
    EventTail& operator=(const EventTail&) = delete;

    std::vector<nlohmann::json> Poll() {
        std::vector<nlohmann::json> events;
        if (fd_ < 0) fd_ = open(path_.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd_ < 0) return events;
        char chunk[4096];
        for (ssize_t n; (n = read(fd_, chunk, sizeof chunk)) > 0;)
            pending_.append(chunk, static_cast<std::size_t>(n));
        for (std::size_t end; (end = pending_.find('\n')) != std::string::npos;) {
            auto event = nlohmann::json::parse(pending_.substr(0, end), nullptr, false);
            pending_.erase(0, end + 1);
            if (event.is_object()) events.push_back(std::move(event));
        }
        return events;
    }

  private:
    fs::path path_;
    int fd_ = -1;
    std::string pending_;
};

std::vector<std::string> BaseEnvironment(const fs::path& root) {
    const fs::path home = root / "home";
    const fs::path runtime = root / "run";
    for (const fs::path& dir : {home / ".local/share", home / ".config", home / ".cache", runtime})
        fs::create_directories(dir);
    fs::permissions(runtime, fs::perms::owner_all, fs::perm_options::replace);
    return {"PATH=/usr/local/bin:/usr/bin:/bin",
            "LANG=C.UTF-8",
            "QT_QPA_PLATFORM=offscreen",
            "HOME=" + home.string(),
            "XDG_DATA_HOME=" + (home / ".local/share").string(),
            "XDG_CONFIG_HOME=" + (home / ".config").string(),
            "XDG_CACHE_HOME=" + (home / ".cache").string(),
            "XDG_RUNTIME_DIR=" + runtime.string()};
}

// The demo platform for the whole program, started on first use and stopped at exit.
class DemoPlatform {
  public:
    static DemoPlatform& Get() {
        static DemoPlatform platform;
        return platform;
    }
    ~DemoPlatform() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            Reap(pid_, Clock::now() + 5s);
        }
    }
    DemoPlatform(const DemoPlatform&) = delete;
    DemoPlatform& operator=(const DemoPlatform&) = delete;

    // Empty when the platform serves the client's built-in addresses, else why it does not.
    const std::string& problem() const { return problem_; }

  private:
    DemoPlatform() : folder_("orbis-bench-platform-") {
        if (!folder_.valid()) {
            problem_ = "no temporary folder for the demo platform";
            return;
        }
        const fs::path state = folder_.path() / "platform.json";
        const std::string tools = std::string(ORBIS_SOURCE_DIR) + "/tools/demo-platform/";
        const std::vector<std::string> argv = {"/usr/bin/python3",
                                               tools + "server.py",
                                               "--profile",
                                               ORBIS_TENANT_PROFILE_PATH,
                                               "--port-from-profile",
                                               "--state-file",
                                               state.string(),
                                               "--log",
                                               (folder_.path() / "requests.jsonl").string()};
        std::vector<std::string> env;
        for (char** e = environ; *e != nullptr; ++e)
            env.emplace_back(*e);
        pid_ = Spawn(argv, env, folder_.path() / "server.out");
        if (pid_ < 0) {
            problem_ = "the demo platform could not be started";
            return;
        }
        const auto deadline = Clock::now() + 15s;
        while (!fs::exists(state) && Clock::now() < deadline)
            std::this_thread::sleep_for(20ms);
        const auto info = nlohmann::json::parse(ReadText(state), nullptr, false);
        const std::string base = info.is_object() ? info.value("base", "") : "";
        if (base.empty()) {
            problem_ = "the demo platform did not report its address: " +
                       ReadText(folder_.path() / "server.out");
        } else if (base != kPortalBase) {
            problem_ = "127.0.0.1:" + std::to_string(kPortalPort) +
                       " is held by another process (the demo platform fell back to " + base +
                       "), and the client's built-in addresses point there: skipped";
        }
    }

    TempDir folder_;
    pid_t pid_ = -1;
    std::string problem_;
};

// A scheme link for `content` (a catalogue id or a direct address) on the demo platform.
std::string Mint(const std::string& content) {
    const std::string command = std::string("/usr/bin/python3 '") + ORBIS_SOURCE_DIR +
                                "/tools/demo-platform/mint.py' --profile '" +
                                ORBIS_TENANT_PROFILE_PATH + "' --token t --content-id '" + content +
                                "' --domain " + kPortalBase;
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char chunk[512];
        for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;)
            output.append(chunk, n);
        pclose(pipe);
    }
    while (!output.empty() && (output.back() == '\n' || output.back() == '\r'))
        output.pop_back();
    return output;
}

enum class Program { Client, Bare };

struct LaunchPlan {
    Program program = Program::Client;
    std::string argument;    // client: a scheme link or nothing (init); bare: the page address
    std::string windowSize;  // bare: "WxH", the size of the client window it stands against
};

struct Sample {
    std::string error;       // empty when the run gave every figure
    double loadedMs = 0;     // start to the first successful load, as seen in the event log
    double paintMs = 0;      // start to the first contentful paint of the main frame
    double frameMs = 0;      // start to the subframe's document arriving (client only; 0 if none)
    long rssKiB = 0;         // main process, kRssSettleMs after the first load
    std::string windowSize;  // client: "WxH" of its main window once the page has painted
};

std::vector<std::string> ProgramArguments(const LaunchPlan& plan, const fs::path& log) {
    if (plan.program == Program::Bare) {
        return {ORBIS_BARE_BINARY, plan.argument,
                "--log",           log.string(),
                "--probe",         kFirstPaintProbe,
                "--size",          plan.windowSize,
                "--linger-ms",     std::to_string(kLingerMs),
                "--timeout-ms",    std::to_string(kProgramTimeLimitMs)};
    }
    std::vector<std::string> argv = {ORBIS_CLIENT_BINARY};
    if (!plan.argument.empty()) argv.push_back(plan.argument);
    return argv;
}

// The client's scripted steps: the same probe as the bare program's, then linger and quit.
void WriteClientSteps(const fs::path& steps) {
    const nlohmann::json list = nlohmann::json::array({
        {{"waitFor", kPaintedCondition}, {"name", "painted"}, {"timeout", kProgramTimeLimitMs}},
        {{"js", kFirstPaintProbe}, {"name", "fcp"}},
        {{"js", kFrameProbe}, {"name", "frame"}},
        {{"windowState", true}},
        {{"wait", kLingerMs}},
        {{"quit", true}},
    });
    std::ofstream(steps) << list.dump();
}

// Folds one event into the sample; `msSinceStart` is when its log line was read.
void Record(const nlohmann::json& event, double msSinceStart, double startEpochMs, Sample& sample) {
    const std::string kind = event.value("event", "");
    if (kind == "loadFinished" && event.value("ok", false) && sample.loadedMs == 0) {
        sample.loadedMs = msSinceStart;
    } else if (kind == "probe") {
        const double epochMs = event.contains("result") && event["result"].is_number()
                                   ? event["result"].get<double>()
                                   : 0.0;
        const std::string name = event.value("name", "");
        if (name == "fcp" && epochMs > 0) sample.paintMs = epochMs - startEpochMs;
        if (name == "frame" && epochMs > 0) sample.frameMs = epochMs - startEpochMs;
    } else if (kind == "window") {
        sample.windowSize = std::to_string(event.value("width", 0)) + "x" +
                            std::to_string(event.value("height", 0));
    } else if (kind == "messageBox") {
        sample.error = "message box: " + event.value("text", std::string());
    } else if (kind == "timeout") {
        sample.error = "the program's own time limit passed";
    }
}

Sample Launch(const LaunchPlan& plan) {
    Sample sample;
    TempDir root("orbis-bench-run-");
    if (!root.valid()) {
        sample.error = "no temporary folder";
        return sample;
    }
    const fs::path log = root.path() / "events.jsonl";
    const fs::path output = root.path() / "output.txt";
    std::vector<std::string> env = BaseEnvironment(root.path());
    if (plan.program == Program::Client) {
        const fs::path steps = root.path() / "steps.json";
        WriteClientSteps(steps);
        env.push_back("ORBIS_E2E_LOG=" + log.string());
        env.push_back("ORBIS_E2E_STEPS=" + steps.string());
        env.push_back("ORBIS_E2E_TIMEOUT_MS=" + std::to_string(kProgramTimeLimitMs));
    }
    const std::vector<std::string> argv = ProgramArguments(plan, log);

    EventTail tail(log);
    const double startEpochMs = EpochMs();
    const Clock::time_point start = Clock::now();
    const pid_t pid = Spawn(argv, env, output);
    if (pid < 0) {
        sample.error = "could not start " + argv[0];
        return sample;
    }

    std::optional<int> exitCode;
    bool exited = false;
    while (!exited) {
        // Checked before reading, so that lines written just before the exit are still read.
        int status = 0;
        exited = waitpid(pid, &status, WNOHANG) == pid;
        if (exited && WIFEXITED(status)) exitCode = WEXITSTATUS(status);
        const Clock::time_point now = Clock::now();
        for (const auto& event : tail.Poll())
            Record(event, MsSince(start, now), startEpochMs, sample);
        const bool settled = sample.loadedMs > 0 && sample.paintMs != 0 &&
                             MsSince(start, now) >= sample.loadedMs + kRssSettleMs;
        if (!exited && sample.rssKiB == 0 && settled) sample.rssKiB = ReadRssKiB(pid);
        if (!exited && now - start > kLaunchLimit) break;
        if (!exited) std::this_thread::sleep_for(kLogPollInterval);
    }
    if (!exited) {
        exitCode = Reap(pid, Clock::now());
        if (sample.error.empty()) sample.error = "no exit within the time limit";
    } else {
        Reap(pid, Clock::now());  // the group's helpers
    }

    if (sample.error.empty()) {
        if (sample.loadedMs == 0)
            sample.error = "no successful load";
        else if (sample.paintMs == 0)
            sample.error = "no contentful paint reported";
        else if (sample.rssKiB == 0)
            sample.error = "exited before its memory was read";
        else if (plan.program == Program::Client && sample.windowSize.empty())
            sample.error = "no window size reported";
        else if (exitCode != 0)
            sample.error = "exit code " + std::to_string(exitCode.value_or(-1));
    }
    if (!sample.error.empty()) {
        // Kept for a look at what went wrong.
        root.Keep();
        sample.error += " (" + argv[0] + "; files in " + root.path().string() + ")";
    }
    return sample;
}

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const std::size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

enum class Metric { FirstPaint, FirstLoad };

double ValueOf(const Sample& sample, Metric metric) {
    return metric == Metric::FirstPaint ? sample.paintMs : sample.loadedMs;
}

template <typename Field>
double MedianOf(const std::vector<Sample>& samples, Field field) {
    std::vector<double> values;
    for (const Sample& s : samples)
        values.push_back(static_cast<double>(field(s)));
    return Median(values);
}

// Medians of both sides, and the median of the per-iteration ratios: each pair ran back to back,
// so a change in the machine's load between pairs cancels out of it.
template <typename Field>
void ReportPair(benchmark::State& state, const std::string& prefix, const std::string& unit,
                const std::vector<Sample>& client, const std::vector<Sample>& bare, Field field) {
    std::vector<double> ratios;
    for (std::size_t i = 0; i < client.size() && i < bare.size(); ++i)
        ratios.push_back(field(client[i]) / field(bare[i]));
    state.counters[prefix + "client" + unit] = MedianOf(client, field);
    state.counters[prefix + "baseline" + unit] = MedianOf(bare, field);
    state.counters[prefix + "ratio"] = Median(ratios);
}

// One client run and one bare run (loading `bareUrl`) per iteration; the client's figure is the
// iteration time. The client opens a link to `playerContent`, or starts in init mode without one.
void Compare(benchmark::State& state, const std::optional<std::string>& playerContent,
             const std::string& bareUrl, Metric metric) {
#ifndef ORBIS_E2E_HOOKS
    state.SkipWithError("the client was built without its test hooks (ORBIS_E2E_HOOKS=ON)");
    return;
#endif
    if (const std::string& problem = DemoPlatform::Get().problem(); !problem.empty()) {
        state.SkipWithError(problem.c_str());
        return;
    }
    const LaunchPlan client{Program::Client, playerContent ? Mint(*playerContent) : "", ""};
    if (playerContent && client.argument.empty()) {
        state.SkipWithError("no link could be minted for the demo platform");
        return;
    }
    // One unmeasured start of each program first: it fills the page cache, and the client's
    // tells the size its window takes in this mode, which the bare program's window then gets.
    const Sample warmClient = Launch(client);
    if (!warmClient.error.empty()) {
        state.SkipWithError(("warm-up failed: " + warmClient.error).c_str());
        return;
    }
    const LaunchPlan bare{Program::Bare, bareUrl, warmClient.windowSize};
    static bool bareWarmedUp = false;
    if (!bareWarmedUp) {
        bareWarmedUp = true;
        if (const Sample warm = Launch(bare); !warm.error.empty()) {
            state.SkipWithError(("warm-up failed: " + warm.error).c_str());
            return;
        }
    }
    std::vector<Sample> clientSamples;
    std::vector<Sample> bareSamples;
    for (auto _ : state) {
        const bool bareFirst = clientSamples.size() % 2 == 0;
        const Sample first = Launch(bareFirst ? bare : client);
        const Sample second = Launch(bareFirst ? client : bare);
        const Sample& c = bareFirst ? second : first;
        const Sample& b = bareFirst ? first : second;
        if (!c.error.empty() || !b.error.empty()) {
            state.SkipWithError((c.error.empty() ? b.error : c.error).c_str());
            break;
        }
        clientSamples.push_back(c);
        bareSamples.push_back(b);
        state.SetIterationTime(ValueOf(c, metric) / 1000.0);
    }
    if (clientSamples.empty()) return;

    const Metric other = metric == Metric::FirstPaint ? Metric::FirstLoad : Metric::FirstPaint;
    ReportPair(state, "", "_ms", clientSamples, bareSamples,
               [metric](const Sample& s) { return ValueOf(s, metric); });
    ReportPair(state, other == Metric::FirstPaint ? "paint_" : "load_", "_ms", clientSamples,
               bareSamples, [other](const Sample& s) { return ValueOf(s, other); });
    ReportPair(state, "rss_", "_MiB", clientSamples, bareSamples,
               [](const Sample& s) { return static_cast<double>(s.rssKiB) / 1024.0; });
    const double frameMs = MedianOf(clientSamples, [](const Sample& s) { return s.frameMs; });
    if (frameMs > 0) state.counters["frame_doc_client_ms"] = frameMs;
}

std::string Page(const char* path) {
    return std::string(kPortalBase) + path;
}

// A direct link shows the page itself in the main frame: the like-for-like comparison.
void BM_Player_DirectLink_FirstPaint(benchmark::State& state) {
    Compare(state, Page(kContentPagePath), Page(kContentPagePath), Metric::FirstPaint);
}
BENCHMARK(BM_Player_DirectLink_FirstPaint)
    ->UseManualTime()
    ->Iterations(kIterations)
    ->Unit(benchmark::kMillisecond);

// A catalogue page: content data from the platform first, then a generated page whose frame
// holds the content; its first paint is the generated page's (watermark) paint.
void BM_Player_Page1_FirstPaint(benchmark::State& state) {
    Compare(state, "page-1", Page(kContentPagePath), Metric::FirstPaint);
}
BENCHMARK(BM_Player_Page1_FirstPaint)
    ->UseManualTime()
    ->Iterations(kIterations)
    ->Unit(benchmark::kMillisecond);

// The same item against the bare program showing the very page the client shows: the generated
// page (as a data: address, which is how Qt loads generated HTML) with the content in its frame.
std::string GeneratedPageAddress() {
    const std::u16string page = BuildContentPage(Text::Widen(Page(kContentPagePath)),
                                                 u"learner@example.test", App().displayName);
    return "data:text/html;charset=utf-8," + Text::Utf16ToUtf8(ContentUrl::PercentEncode(page));
}

void BM_Player_Page1_AgainstTheSameGeneratedPage(benchmark::State& state) {
    Compare(state, "page-1", GeneratedPageAddress(), Metric::FirstPaint);
}
BENCHMARK(BM_Player_Page1_AgainstTheSameGeneratedPage)
    ->UseManualTime()
    ->Iterations(kIterations)
    ->Unit(benchmark::kMillisecond);

void BM_Init_Portal_FirstNavigation(benchmark::State& state) {
    Compare(state, std::nullopt, Page(kPortalCoursesPath), Metric::FirstLoad);
}
BENCHMARK(BM_Init_Portal_FirstNavigation)
    ->UseManualTime()
    ->Iterations(kIterations)
    ->Unit(benchmark::kMillisecond);

}  // namespace
