#pragma once

#include "platform/core/ProgressWindow.h"

#include <QDialog>
#include <QPointer>

class QEventLoop;
class QLabel;
class QPushButton;

namespace quorvex {

// The small stay-on-top window a long operation (the sort, printing) shows
// while it runs: one or two progress lines, Pause/Resume and Cancel/OK. Each
// pair of buttons shares one place and acts as one button whose face changes.
class TStatusForm final : public QDialog, public ProgressWindow {
    Q_OBJECT
public:
    explicit TStatusForm(QWidget *parent = nullptr);

    // ProgressWindow
    void start(const std::string &upperText, const std::string *lowerText) override;
    void setUpperText(const std::string &text) override;
    void setLowerText(const std::string &text) override;
    // While paused, each call also waits in the event loop (at most PauseWaitMs,
    // less when a button acts), so an operation polling it does not spin.
    bool isPaused() const override;
    Result result() const override { return m_result; }
    void setResult(Result result) override { m_result = result; }
    void hide() override { QDialog::hide(); }
    void finish(const std::string &upperText, bool focusOk) override;
    // A cancel the operation has not noticed yet wins over its own pause: the
    // cancelled window is hidden, so nobody could resume it.
    void pause() override
    {
        if (m_result != Result::Cancel)
            PauseBtnClick();
    }
    void resume() override { ResumeBtnClick(); }

    static constexpr int PauseWaitMs = 100;
    // The usual client area, for texts that fit one line each.
    static constexpr int ClientWidth = 350;
    static constexpr int ClientHeight = 116;

    // The widget that gets the keys back when the window hides (the main
    // window's grid): without a window manager nothing else hands them back.
    void setFocusReturn(QWidget *widget) { m_focusReturn = widget; }

    QLabel *statusLbl() const { return m_StatusLbl; }
    QLabel *status2Lbl() const { return m_Status2Lbl; }
    QPushButton *cancelBtn() const { return m_CancelBtn; }
    QPushButton *okBtn() const { return m_OkBtn; }
    QPushButton *pauseBtn() const { return m_PauseBtn; }
    QPushButton *resumeBtn() const { return m_ResumeBtn; }

public slots:
    void OkBtnClick();
    void CancelBtnClick();
    void PauseBtnClick();
    void ResumeBtnClick();

protected:
    void closeEvent(QCloseEvent *event) override;
    // Esc follows the close box's rule.
    void reject() override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void returnFocus();
    void layoutLines();

    static constexpr int LineWidth = 337;
    static constexpr int LineHeight = 18;
    static constexpr int UpperTop = 14;
    static constexpr int LowerTop = 38;
    static constexpr int ButtonTop = 74;
    void wakePauseWait() const;

    QLabel *m_StatusLbl = nullptr;
    QLabel *m_Status2Lbl = nullptr;
    QPushButton *m_CancelBtn = nullptr;
    QPushButton *m_OkBtn = nullptr;
    QPushButton *m_PauseBtn = nullptr;
    QPushButton *m_ResumeBtn = nullptr;
    Result m_result = Result::None;
    // The wait of a paused operation, ended early by any button.
    mutable QEventLoop *m_pauseWait = nullptr;
    mutable bool m_pauseWaitWoken = false;
    QPointer<QWidget> m_focusReturn;
};

} // namespace quorvex
