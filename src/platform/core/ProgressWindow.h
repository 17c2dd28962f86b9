#pragma once

#include <string>

namespace quorvex {

// The shared pause-and-cancel window of long operations (the sort, printing),
// as the running operation sees it. The window holds no logic beyond its
// buttons: the operation shows it, writes its texts, polls it for pause and
// cancel at its progress points (while letting window events run) and puts it
// in its end state.
class ProgressWindow {
public:
    enum class Result { None, Ok, Cancel };

    virtual ~ProgressWindow() = default;
    // Set-up before the first step: Cancel shown, OK hidden, Pause shown and
    // enabled, Resume hidden, the upper line set; the lower line shown with
    // its text when one is given, hidden otherwise; the window shown, not modal.
    virtual void start(const std::string &upperText, const std::string *lowerText) = 0;
    virtual void setUpperText(const std::string &text) = 0;
    virtual void setLowerText(const std::string &text) = 0;
    // Paused exactly while Resume shows.
    virtual bool isPaused() const = 0;
    virtual Result result() const = 0;
    virtual void setResult(Result result) = 0;
    virtual void hide() = 0;
    // End or error state: the text in the upper line, OK shown (with the
    // keyboard focus when asked), Cancel hidden, Pause disabled. The window
    // stays until the user closes it.
    virtual void finish(const std::string &upperText, bool focusOk) = 0;
    // The Pause and Resume buttons' actions, for an operation that pauses itself.
    virtual void pause() = 0;
    virtual void resume() = 0;
};

} // namespace quorvex
