#pragma once
// Diagnostic trace hook. The shipped program attaches no sink, so trace lines reach nobody;
// tests and the link inspector attach one to watch the link decoding step by step.
#include <functional>
#include <string_view>

namespace Trace {

using Sink = std::function<void(std::string_view line)>;

// An empty sink detaches. Not thread-safe: attach before the traced work starts.
void SetSink(Sink sink);
void Write(std::string_view line);

// Attaches a sink for the lifetime of the guard and restores the previous one afterwards.
class ScopedSink {
  public:
    explicit ScopedSink(Sink sink);
    ~ScopedSink();
    ScopedSink(const ScopedSink&) = delete;
    ScopedSink& operator=(const ScopedSink&) = delete;

  private:
    Sink previous_;
};

}  // namespace Trace
