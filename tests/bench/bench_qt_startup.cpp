// How long the desktop client takes from process start until the user sees content, and how much
// memory its main process holds then, against the smallest Qt WebEngine program that loads the
// same page. Every iteration starts both programs (alternating which goes first, so neither
// inherits a warmer machine), each in fresh user folders under the offscreen platform, against a
// demo platform on the portal address the client is built with.
//
// The bare program runs in one of two ways: on Qt's default profile, which keeps nothing on disk
// (the smallest browser there is), or on a disk profile laid out like the client's (the smallest
// browser that remembers a signed-in user, which the client has to be).
//
// The client is the product build, without test hooks: what it does is read from the outside.
// The demo platform runs with its paint report on, so every document it serves tells it, in
// epoch milliseconds by the page's own clock, when it first painted and when it finished loading;
// both programs are timed from those reports in the platform's request log, from just before the
// process is spawned. Memory is the main process's, read once the page has settled; then the
// program is ended with SIGTERM, which the client answers as a session end (exit code 0).
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
#include "host/window_controller.h"

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
// Memory is read this long after the first finished load: by then the client's full-window
// loader has faded out (it goes 500 ms after load), so the figure is the settled page's, not that
// of a composited overlay on its way out.
constexpr double kRssSettleMs = 1200;
constexpr int kProgramTimeLimitMs = 20000;
constexpr auto kLaunchLimit = 30s;
constexpr auto kLogPollInterval = 1ms;

// The bare program's own probe; its answer is not used, the platform's paint report is.
constexpr const char* kFirstPaintProbe =
    "(function(){var p=performance.getEntriesByName('first-contentful-paint')[0];"
    "return p?performance.timeOrigin+p.startTime:0;})()";
constexpr const char* kPaintReportPath = "/_bench/paint?";

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
    // Lines already in the file are not returned.
    void SkipExisting() {
        if (fd_ < 0) fd_ = open(path_.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd_ >= 0) lseek(fd_, 0, SEEK_END);
    }
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
    fs::path requestLog() const { return folder_.path() / "requests.jsonl"; }

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
                                               "--report-paint",
                                               "--log",
                                               requestLog().string()};
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
enum class BareProfile { InMemory, OnDisk };

struct LaunchPlan {
    Program program = Program::Client;
    BareProfile bareProfile = BareProfile::InMemory;
    // Empty: a fresh folder for each run, a first start. Else the folder every run of this plan
    // uses again, so that each start after the first finds its profile: a returning user.
    fs::path keptRoot;
    std::string argument;    // client: a scheme link or nothing (init); bare: the page address
    std::string windowSize;  // bare: "WxH", the size of the client window it stands against
};

struct Sample {
    std::string error;    // empty when the run gave every figure
    double loadedMs = 0;  // start to the first served document's load event
    double paintMs = 0;   // start to the first served document's first contentful paint
    long rssKiB = 0;      // main process, kRssSettleMs after the first load
};

std::vector<std::string> ProgramArguments(const LaunchPlan& plan, const fs::path& root) {
    if (plan.program == Program::Bare) {
        std::vector<std::string> argv = {ORBIS_BARE_BINARY, plan.argument,
                                         "--log",           (root / "events.jsonl").string(),
                                         "--probe",         kFirstPaintProbe,
                                         "--size",          plan.windowSize,
                                         "--linger-ms",     std::to_string(kProgramTimeLimitMs),
                                         "--timeout-ms",    std::to_string(kProgramTimeLimitMs)};
        if (plan.bareProfile == BareProfile::OnDisk) {
            argv.push_back("--storage");
            argv.push_back((root / "profile").string());
        }
        return argv;
    }
    std::vector<std::string> argv = {ORBIS_CLIENT_BINARY};
    if (!plan.argument.empty()) argv.push_back(plan.argument);
    return argv;
}

// The value of `name` in the query of a logged request path; empty when absent.
std::string QueryValue(const std::string& path, const std::string& name) {
    const std::size_t query = path.find('?');
    if (query == std::string::npos) return {};
    const std::string key = name + "=";
    for (std::size_t at = query + 1; at < path.size();) {
        const std::size_t end = std::min(path.find('&', at), path.size());
        if (path.compare(at, key.size(), key) == 0)
            return path.substr(at + key.size(), end - at - key.size());
        at = end + 1;
    }
    return {};
}

// Folds one request the platform logged into the sample: the first report of each kind counts,
// from whichever frame the platform served (the client's generated page is not served; its
// content frame is, in both programs).
void Record(const nlohmann::json& request, double startEpochMs, Sample& sample) {
    const std::string path = request.value("path", "");
    if (path.rfind(kPaintReportPath, 0) != 0) return;
    const double at = std::strtod(QueryValue(path, "at").c_str(), nullptr);
    if (at <= 0) return;
    const std::string kind = QueryValue(path, "kind");
    if (kind == "fcp" && sample.paintMs == 0) sample.paintMs = at - startEpochMs;
    if (kind == "load" && sample.loadedMs == 0) sample.loadedMs = at - startEpochMs;
}

// Ends the program the way a session end does and tells whether it left with code 0.
bool EndsCleanly(pid_t pid) {
    kill(pid, SIGTERM);
    const std::optional<int> code = Reap(pid, Clock::now() + 10s);
    return code.has_value() && *code == 0;
}

Sample Launch(const LaunchPlan& plan) {
    Sample sample;
    // A first start gets a folder of its own, gone after the run.
    std::optional<TempDir> freshRoot;
    if (plan.keptRoot.empty()) {
        freshRoot.emplace("orbis-bench-run-");
        if (!freshRoot->valid()) {
            sample.error = "no temporary folder";
            return sample;
        }
    }
    const fs::path& runRoot = freshRoot ? freshRoot->path() : plan.keptRoot;
    const fs::path output = runRoot / "output.txt";
    const std::vector<std::string> env = BaseEnvironment(runRoot);
    const std::vector<std::string> argv = ProgramArguments(plan, runRoot);

    EventTail requests(DemoPlatform::Get().requestLog());
    requests.SkipExisting();
    const double startEpochMs = EpochMs();
    const Clock::time_point start = Clock::now();
    const pid_t pid = Spawn(argv, env, output);
    if (pid < 0) {
        sample.error = "could not start " + argv[0];
        return sample;
    }

    bool exited = false;
    while (!exited && sample.rssKiB == 0) {
        int status = 0;
        exited = waitpid(pid, &status, WNOHANG) == pid;
        const Clock::time_point now = Clock::now();
        for (const auto& request : requests.Poll())
            Record(request, startEpochMs, sample);
        const bool settled = sample.loadedMs > 0 && sample.paintMs > 0 &&
                             MsSince(start, now) >= sample.loadedMs + kRssSettleMs;
        if (!exited && settled) sample.rssKiB = ReadRssKiB(pid);
        if (!exited && now - start > kLaunchLimit) break;
        if (!exited) std::this_thread::sleep_for(kLogPollInterval);
    }
    if (exited) {
        Reap(pid, Clock::now());  // the group's helpers
        sample.error = "the program ended on its own";
    } else if (sample.rssKiB == 0) {
        Reap(pid, Clock::now());
        sample.error = sample.paintMs == 0    ? "no contentful paint reported"
                       : sample.loadedMs == 0 ? "no load reported"
                                              : "no settled page within the time limit";
    } else if (!EndsCleanly(pid) && plan.program == Program::Client) {
        sample.error = "no exit code 0 after SIGTERM";
    }
    if (!sample.error.empty()) {
        // Kept for a look at what went wrong.
        if (freshRoot) freshRoot->Keep();
        sample.error += " (" + argv[0] + "; files in " + runRoot.string() + ")";
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
enum class Profiles { FreshEachRun, Kept };

void Compare(benchmark::State& state, const std::optional<std::string>& playerContent,
             const std::string& bareUrl, Metric metric,
             BareProfile bareProfile = BareProfile::InMemory,
             Profiles profiles = Profiles::FreshEachRun) {
    if (const std::string& problem = DemoPlatform::Get().problem(); !problem.empty()) {
        state.SkipWithError(problem.c_str());
        return;
    }
    // Kept profiles live in one folder per program for the whole benchmark.
    std::optional<TempDir> clientHome;
    std::optional<TempDir> bareHome;
    if (profiles == Profiles::Kept) {
        clientHome.emplace("orbis-bench-client-");
        bareHome.emplace("orbis-bench-bare-");
        if (!clientHome->valid() || !bareHome->valid()) {
            state.SkipWithError("no temporary folder");
            return;
        }
    }
    const bool kept = profiles == Profiles::Kept;
    const LaunchPlan client{Program::Client, BareProfile::InMemory,
                            kept ? clientHome->path() : fs::path(),
                            playerContent ? Mint(*playerContent) : "", ""};
    if (playerContent && client.argument.empty()) {
        state.SkipWithError("no link could be minted for the demo platform");
        return;
    }
    // One unmeasured start of each program first: it fills the page cache (and, with kept
    // profiles, makes them). The bare program's window takes the size the client's window has in
    // this mode.
    const Sample warmClient = Launch(client);
    if (!warmClient.error.empty()) {
        state.SkipWithError(("warm-up failed: " + warmClient.error).c_str());
        return;
    }
    using namespace AppWindows;
    const std::string windowSize =
        playerContent ? std::to_string(kPlayerWidth) + "x" + std::to_string(kPlayerHeight)
                      : std::to_string(kInitWidth) + "x" + std::to_string(kInitHeight);
    const LaunchPlan bare{Program::Bare, bareProfile, kept ? bareHome->path() : fs::path(), bareUrl,
                          windowSize};
    static bool bareWarmedUp[2] = {false, false};
    if (bool& warmedUp = bareWarmedUp[bareProfile == BareProfile::OnDisk]; kept || !warmedUp) {
        warmedUp = true;
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
// holds the content; the paint that counts is the content frame's, the first served document.
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

// The same two starts against a bare program that keeps a disk profile like the client's: what
// the client adds on top of a browser that can remember its user.
void BM_Player_DirectLink_AgainstDiskProfile(benchmark::State& state) {
    Compare(state, Page(kContentPagePath), Page(kContentPagePath), Metric::FirstPaint,
            BareProfile::OnDisk);
}
BENCHMARK(BM_Player_DirectLink_AgainstDiskProfile)
    ->UseManualTime()
    ->Iterations(kIterations)
    ->Unit(benchmark::kMillisecond);

void BM_Init_Portal_AgainstDiskProfile(benchmark::State& state) {
    Compare(state, std::nullopt, Page(kPortalCoursesPath), Metric::FirstLoad, BareProfile::OnDisk);
}
BENCHMARK(BM_Init_Portal_AgainstDiskProfile)
    ->UseManualTime()
    ->Iterations(kIterations)
    ->Unit(benchmark::kMillisecond);

// A returning user: both programs find the profile their earlier start left behind (signed-in
// cookies, a warm disk cache, the scheme already registered).
void BM_Player_DirectLink_ReturningUser(benchmark::State& state) {
    Compare(state, Page(kContentPagePath), Page(kContentPagePath), Metric::FirstPaint,
            BareProfile::OnDisk, Profiles::Kept);
}
BENCHMARK(BM_Player_DirectLink_ReturningUser)
    ->UseManualTime()
    ->Iterations(kIterations)
    ->Unit(benchmark::kMillisecond);

}  // namespace
