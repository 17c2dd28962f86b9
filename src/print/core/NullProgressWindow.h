#pragma once

#include "platform/core/ProgressWindow.h"

namespace quorvex {

// A progress window nobody sees: printing from scripts and into previews.
class NullProgressWindow final : public ProgressWindow {
public:
    void start(const std::string &, const std::string *) override {}
    void setUpperText(const std::string &) override {}
    void setLowerText(const std::string &) override {}
    bool isPaused() const override { return false; }
    Result result() const override { return Result::None; }
    void setResult(Result) override {}
    void hide() override {}
    void finish(const std::string &, bool) override {}
    void pause() override {}
    void resume() override {}
};

} // namespace quorvex
