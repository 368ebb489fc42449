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

void SlicedRelease::addJob(std::function<bool()> &&job)
{
    m_jobs.push_back(std::move(job));
    m_timer->start();
}

void SlicedRelease::releaseSlice()
{
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
}
