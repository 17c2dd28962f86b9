#pragma once

#include <QObject>

namespace quorvex {

// Keeps every tool tip of the program up for a fixed time instead of Qt's
// length-dependent one: widgets without a duration of their own get it just
// before their tip shows.
class ToolTipDuration : public QObject {
    Q_OBJECT

public:
    static constexpr int Milliseconds = 8500;
    // Installs one filter on the application; later calls do nothing.
    static void install();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    using QObject::QObject;
};

} // namespace quorvex
