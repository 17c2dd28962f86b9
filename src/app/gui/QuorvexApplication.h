#pragma once

#include <QApplication>

#include <functional>

namespace quorvex {

// Catches an exception that escapes an event handler: it is shown, the
// failure handler cleans up, and the program ends.
class QuorvexApplication final : public QApplication {
    Q_OBJECT
public:
    QuorvexApplication(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;
    std::function<void(const char *what)> onUnexpectedFailure;
};

} // namespace quorvex
