#pragma once

#include "platform/core/ClipboardService.h"
#include "platform/core/DesktopShell.h"
#include "document/core/Editor.h"
#include "document/core/EditorView.h"
#include "platform/core/MessageService.h"
#include "platform/core/ProgressReporter.h"

#include <deque>
#include <string>
#include <utility>
#include <vector>

namespace quorvex::test {

// Records every message and answers from a queue (OK / Yes by default).
class ScriptedMessages final : public MessageService {
public:
    struct Shown {
        MessageKind kind;
        std::string text;
        MessageButtons buttons;
    };

    MessageAnswer show(MessageKind kind, const std::string &text, MessageButtons buttons) override
    {
        shown.push_back({kind, text, buttons});
        if (!answers.empty()) {
            const MessageAnswer a = answers.front();
            answers.pop_front();
            return a;
        }
        switch (buttons) {
        case MessageButtons::Ok:
        case MessageButtons::OkCancel:
            return MessageAnswer::Ok;
        default:
            return MessageAnswer::Yes;
        }
    }
    void showException(const std::string &what) override { exceptions.push_back(what); }

    std::vector<std::string> texts() const
    {
        std::vector<std::string> t;
        for (const Shown &s : shown)
            t.push_back(s.text);
        return t;
    }

    std::vector<Shown> shown;
    std::vector<std::string> exceptions;
    std::deque<MessageAnswer> answers;
};

class RecordingProgress final : public ProgressReporter {
public:
    void setProgress(int percent, const std::string &text) override { reports.emplace_back(percent, text); }
    void pumpEvents() override { ++pumps; }
    bool isPaused() const override { return paused; }
    bool isCancelled() const override { return cancelled; }

    std::vector<std::pair<int, std::string>> reports;
    int pumps = 0;
    bool paused = false;
    bool cancelled = false;
};

class FakeShell final : public DesktopShell {
public:
    bool openPath(const std::string &path) override
    {
        opened.push_back(path);
        return result;
    }
    bool openUrl(const std::string &url) override
    {
        opened.push_back(url);
        return result;
    }
    // Documents are recorded with their verb; the results come from the queue
    // (success when it is empty).
    int openDocument(const std::string &path, ShellVerb verb) override
    {
        documents.emplace_back(path, verb);
        if (documentResults.empty())
            return ShellSuccess;
        const int r = documentResults.front();
        documentResults.pop_front();
        return r;
    }
    std::vector<std::string> opened;
    bool result = true;
    std::vector<std::pair<std::string, ShellVerb>> documents;
    std::deque<int> documentResults;
};

class FakeClipboard final : public ClipboardService {
public:
    bool hasText() const override { return !content.empty(); }
    std::string text() const override { return content; }
    void setText(const std::string &text) override { content = text; }
    // Kept as the list's bytes whatever the list's encoding.
    std::string listText(TextEncoding) const override { return content; }
    void setListText(const std::string &text, TextEncoding) override { content = text; }
    std::string content;
};

class RecordingView final : public EditorView {
public:
    void endCellEditing() override { ++editorsClosed; }
    void documentChanged() override { ++documentChanges; }
    void statusBarChanged() override { ++statusRefreshes; }
    void showCellPreview(int col, int row) override { previews.emplace_back(col, row); }
    void setCursorShape(CursorShape shape) override { cursors.push_back(shape); }

    int editorsClosed = 0;
    int documentChanges = 0;
    int statusRefreshes = 0;
    std::vector<std::pair<int, int>> previews;
    std::vector<CursorShape> cursors;
};

// An editor with every service faked, for driving commands without a window.
struct EditorFixture {
    ScriptedMessages messages;
    RecordingProgress progress;
    FakeShell shell;
    FakeClipboard clipboard;
    RecordingView view;
    Editor editor{UiServices{messages, progress, shell, clipboard}, &view};
};

} // namespace quorvex::test
