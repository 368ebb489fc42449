#include "slicedrelease.h"

#include <QElapsedTimer>
#include <QTimer>

SlicedRelease::SlicedRelease(QObject *parent)
    : QObject(parent)
    , m_timer(new QTimer(this))
{
    m_timer->setInterval(15);
    connect(m_timer, &QTimer::timeout, this, &SlicedRelease::releaseSlice);
}

// Whatever is still held goes at once: the owner is going away.
SlicedRelease::~SlicedRelease() = default;

bool SlicedRelease::isPending() const
{
    return !m_jobs.empty();
}

// Letting go of one scan's 200,000 names and icons while the next scan poured its own
// in made that scan about 250 ms slower than one from an empty list, more than the
// release's own slices took in that time.
void SlicedRelease::postpone()
{
    m_sincePostponed.start();
}

void SlicedRelease::addJob(std::function<bool()> &&job)
{
    m_jobs.push_back(std::move(job));
    if (!m_timer->isActive()) {
        m_sinceTick.start();
        m_lateTicks = 0;
        m_timer->start();
    }
}

void SlicedRelease::releaseSlice()
{
    if (m_sincePostponed.isValid() && m_sincePostponed.elapsed() < quietMilliseconds) {
        m_sinceTick.restart();
        return;
    }
    // A tick that comes late says the event loop is busy (names pouring in as a scan
    // starts): adding a slice there lengthens the very gaps this is meant to avoid.
    // The release waits for a calmer tick, though never for long.
    const bool late = m_sinceTick.restart() > 2 * m_timer->interval();
    if (late && ++m_lateTicks < maximumLateTicks) {
        return;
    }
    m_lateTicks = 0;
    QElapsedTimer slice;
    slice.start();
    while (!m_jobs.empty() && slice.elapsed() < 3) {
        if (!m_jobs.front()()) {
            m_jobs.pop_front();
        }
    }
    if (m_jobs.empty()) {
        m_timer->stop();
    }
    m_sinceTick.restart();
}
