#pragma once

#include "platform/core/ProgressReporter.h"

#include <QElapsedTimer>

class QProgressDialog;
class QWidget;

namespace quorvex {

// A long import's progress in a window of its own, with Cancel. Window events
// run at most every 30 ms so that the import keeps its pace.
class ImportProgressDialog final : public ProgressReporter {
public:
    explicit ImportProgressDialog(QWidget *parent);
    ~ImportProgressDialog() override;
    ImportProgressDialog(const ImportProgressDialog &) = delete;
    ImportProgressDialog &operator=(const ImportProgressDialog &) = delete;

    void setProgress(int percent, const std::string &text) override;
    void pumpEvents() override;
    bool isCancelled() const override;

private:
    QProgressDialog *m_dialog;
    QElapsedTimer m_sincePump;
};

} // namespace quorvex
