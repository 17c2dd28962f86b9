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
    if (m_sinceLastPump.elapsed() < 25)
        return;
    QCoreApplication::processEvents();
    m_sinceLastPump.restart();
}

} // namespace quorvex
