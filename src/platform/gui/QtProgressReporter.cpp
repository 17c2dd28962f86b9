#include "QtProgressReporter.h"

#include <QCoreApplication>

namespace quorvex {

QtProgressReporter::QtProgressReporter()
{
    m_sinceLastPump.start();
}

void QtProgressReporter::setProgress(int percent, const std::string &text)
{
    if (m_sink)
        m_sink(percent, text);
}

void QtProgressReporter::pumpEvents()
{
    // Measured from the start of the last pump, with room below the 25 ms a
    // caller pacing itself by the clock asks at: its every call then pumps.
    if (m_sinceLastPump.elapsed() < MinPumpIntervalMs)
        return;
    m_sinceLastPump.restart();
    QCoreApplication::processEvents();
}

} // namespace quorvex
