#pragma once

#include "platform/core/ProgressWindow.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace quorvex {

// A small stand-in for the shared progress window, enough to pause and
// cancel a print job.
class TempProgressWindow final : public QDialog, public ProgressWindow {
    Q_OBJECT
public:
    explicit TempProgressWindow(QWidget *parent = nullptr);

    void start(const std::string &upperText, const std::string *lowerText) override;
    void setUpperText(const std::string &text) override;
    void setLowerText(const std::string &text) override;
    bool isPaused() const override;
    Result result() const override { return m_result; }
    void setResult(Result result) override { m_result = result; }
    void hide() override { QDialog::hide(); }
    void finish(const std::string &upperText, bool focusOk) override;
    void pause() override;
    void resume() override;

    QPushButton *cancelButton() const { return m_cancel; }
    QPushButton *pauseButton() const { return m_pause; }
    QPushButton *resumeButton() const { return m_resume; }
    QPushButton *okButton() const { return m_ok; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void cancel();

    QLabel *m_status;
    QLabel *m_status2;
    QPushButton *m_cancel;
    QPushButton *m_ok;
    QPushButton *m_pause;
    QPushButton *m_resume;
    Result m_result = Result::None;
};

} // namespace quorvex
