#include "QuorvexApplication.h"

#include <cstdlib>
#include <exception>

namespace quorvex {

QuorvexApplication::QuorvexApplication(int &argc, char **argv) : QApplication(argc, argv) {}

bool QuorvexApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &e) {
        if (onUnexpectedFailure)
            onUnexpectedFailure(e.what());
    } catch (...) {
        if (onUnexpectedFailure)
            onUnexpectedFailure("Unknown error");
    }
    // The event loop cannot be trusted after this; leave without returning to it.
    std::_Exit(1);
}

} // namespace quorvex
