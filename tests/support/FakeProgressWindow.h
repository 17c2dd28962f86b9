#pragma once

#include "platform/core/ProgressWindow.h"

#include <functional>
#include <string>
#include <vector>

namespace quorvex::test {

// The progress window's state without a window. A script reacts to each
// upper text the operation writes, as if the user pressed a button while the
// events of that progress point ran; a pause ends after `pausePolls` polls
// with `afterPause` (a Resume, or a Cancel when it is Result::Cancel).
class FakeProgressWindow final : public ProgressWindow {
public:
    void start(const std::string &upper, const std::string *lower) override
    {
        ++starts;
        visible = true;
        cancelShown = true;
        okShown = false;
        pauseEnabled = true;
        m_paused = false;
        lowerShown = lower != nullptr;
        if (lower)
            lowerText = *lower;
        setUpperText(upper);
    }
    void setUpperText(const std::string &text) override
    {
        upperText = text;
        upperTexts.push_back(text);
        if (onUpperText)
            onUpperText(*this, text);
    }
    void setLowerText(const std::string &text) override { lowerText = text; }
    bool isPaused() const override
    {
        ++pausePollCount;
        if (m_paused && ++m_polls >= pausePolls) {
            auto *self = const_cast<FakeProgressWindow *>(this);
            if (afterPause == Result::Cancel)
                self->cancel();
            else
                self->resume();
        }
        return m_paused;
    }
    Result result() const override { return m_result; }
    void setResult(Result r) override { m_result = r; }
    void hide() override { visible = false; }
    void finish(const std::string &text, bool focusOk) override
    {
        upperText = text;
        upperTexts.push_back(text);
        okShown = true;
        cancelShown = false;
        pauseEnabled = false;
        okFocused = focusOk;
    }
    void pause() override
    {
        m_paused = true;
        m_polls = 0;
        m_result = Result::None;
        upperText += " - Paused.";
    }
    void resume() override
    {
        m_paused = false;
        m_result = Result::None;
    }
    // The Cancel button: ends a pause and hides the window.
    void cancel()
    {
        m_paused = false;
        m_result = Result::Cancel;
        visible = false;
    }

    std::function<void(FakeProgressWindow &, const std::string &)> onUpperText;
    int pausePolls = 3;
    Result afterPause = Result::None;

    int starts = 0;
    bool visible = false;
    bool cancelShown = false;
    bool okShown = false;
    bool pauseEnabled = false;
    bool lowerShown = false;
    bool okFocused = false;
    std::string upperText;
    std::string lowerText;
    std::vector<std::string> upperTexts;
    mutable int pausePollCount = 0;

private:
    bool m_paused = false;
    mutable int m_polls = 0;
    Result m_result = Result::None;
};

} // namespace quorvex::test
