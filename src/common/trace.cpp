#include "common/trace.h"

#include <utility>

namespace Trace {
namespace {
Sink& CurrentSink() {
    static Sink sink;
    return sink;
}
}  // namespace

void SetSink(Sink sink) {
    CurrentSink() = std::move(sink);
}

void Write(std::string_view line) {
    if (const auto& sink = CurrentSink()) sink(line);
}

ScopedSink::ScopedSink(Sink sink) : previous_(std::move(CurrentSink())) {
    CurrentSink() = std::move(sink);
}

ScopedSink::~ScopedSink() {
    CurrentSink() = std::move(previous_);
}

}  // namespace Trace
