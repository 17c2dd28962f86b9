#pragma once

#include "platform/core/ProgressReporter.h"

#include <QElapsedTimer>

#include <functional>

namespace quorvex {

// Sends progress to the status bar and lets window events run at most every
// 20 ms, so that callers reporting at every step do not drown in repaints.
class QtProgressReporter final : public ProgressReporter {
public:
    using Sink = std::function<void(int, const std::string &)>;

    static constexpr int MinPumpIntervalMs = 20;

    QtProgressReporter();
    void setSink(Sink sink) { m_sink = std::move(sink); }
    void setProgress(int percent, const std::string &text) override;
    void pumpEvents() override;
    bool isPaused() const override { return m_paused; }
    bool isCancelled() const override { return m_cancelled; }
    void setPaused(bool paused) { m_paused = paused; }
    void setCancelled(bool cancelled) { m_cancelled = cancelled; }

private:
    Sink m_sink;
    QElapsedTimer m_sinceLastPump;
    bool m_paused = false;
    bool m_cancelled = false;
};

} // namespace quorvex
