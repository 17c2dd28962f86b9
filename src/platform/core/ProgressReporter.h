#pragma once

#include <string>

namespace quorvex {

// What a long operation reports while it runs on the user-interface thread:
// the status bar's percentage and panel-0 text, a chance for pending window
// events to run, and the pause and cancel state of the progress window.
class ProgressReporter {
public:
    virtual ~ProgressReporter() = default;
    virtual void setProgress(int percent, const std::string &text) = 0;
    // Lets pending window events run; implementations throttle the real work.
    virtual void pumpEvents() = 0;
    virtual bool isPaused() const { return false; }
    virtual bool isCancelled() const { return false; }
};

// For work done where nobody watches (the command-line tool, benchmarks).
class SilentProgress final : public ProgressReporter {
public:
    void setProgress(int, const std::string &) override {}
    void pumpEvents() override {}
};

} // namespace quorvex
