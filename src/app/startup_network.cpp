#include "app/startup_network.h"

#include <system_error>
#include <utility>

StartupNetwork::StartupNetwork(StartupNetworkSteps steps, double version, AppRecord record,
                               std::u16string link)
    : steps_(std::move(steps)),
      version_(version),
      record_(std::move(record)),
      link_(std::move(link)) {}

StartupNetwork::~StartupNetwork() {
    Join();
}

void StartupNetwork::Join() {
    if (thread_.joinable()) thread_.join();
}

bool StartupNetwork::RunOne(NetworkStep step) {
    switch (step) {
        case NetworkStep::FirstUpdateCheck: {
            const UpdateCheckResult result =
                steps_.checkForUpdate ? steps_.checkForUpdate(version_, u"", record_.baseUrl)
                                      : UpdateCheckResult{};
            std::lock_guard lock(mutex_);
            firstCheck_ = result;
            // An offered update is put to the user before anything else is asked.
            return !result.updateAvailable && !link_.empty();
        }
        case NetworkStep::LinkDecoding: {
            LinkDecoding decoding;
            decoding.record = record_;
            decoding.decoded = steps_.parseSchemeArgs &&
                               steps_.parseSchemeArgs(link_, decoding.error, decoding.record);
            const bool decoded = decoding.decoded;
            std::lock_guard lock(mutex_);
            decoding_ = std::move(decoding);
            return decoded;
        }
        case NetworkStep::LinkUpdateCheck: {
            // The link has replaced the base address with its own platform's: ask that one too.
            std::u16string linkBase;
            {
                std::lock_guard lock(mutex_);
                if (decoding_) linkBase = decoding_->record.baseUrl;
            }
            const UpdateCheckResult result =
                steps_.checkForUpdate ? steps_.checkForUpdate(version_, linkBase, linkBase)
                                      : UpdateCheckResult{};
            std::lock_guard lock(mutex_);
            linkCheck_ = result;
            return false;
        }
    }
    return false;
}

void StartupNetwork::RunStep(NetworkStep step) {
    RunOne(step);
}

bool StartupNetwork::Start(NetworkStep from, std::function<void()> published) {
    if (running_) return false;
    Join();
    running_ = true;
    try {
        thread_ = std::thread([this, from, published = std::move(published)] {
            for (int step = static_cast<int>(from);
                 step <= static_cast<int>(NetworkStep::LinkUpdateCheck); ++step) {
                const bool goesOn = RunOne(static_cast<NetworkStep>(step));
                if (published) published();
                if (!goesOn) break;
            }
            running_ = false;
            if (published) published();
        });
    } catch (const std::system_error&) {
        running_ = false;
        return false;
    }
    return true;
}

bool StartupNetwork::Has(NetworkStep step) const {
    std::lock_guard lock(mutex_);
    switch (step) {
        case NetworkStep::FirstUpdateCheck:
            return firstCheck_.has_value();
        case NetworkStep::LinkDecoding:
            return decoding_.has_value();
        case NetworkStep::LinkUpdateCheck:
            return linkCheck_.has_value();
    }
    return false;
}

UpdateCheckResult StartupNetwork::FirstUpdateCheck() const {
    std::lock_guard lock(mutex_);
    return firstCheck_.value_or(UpdateCheckResult{});
}

LinkDecoding StartupNetwork::Decoding() const {
    std::lock_guard lock(mutex_);
    return decoding_.value_or(LinkDecoding{});
}

UpdateCheckResult StartupNetwork::LinkUpdateCheck() const {
    std::lock_guard lock(mutex_);
    return linkCheck_.value_or(UpdateCheckResult{});
}
