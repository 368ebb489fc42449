#ifndef SLICEDRELEASE_H
#define SLICEDRELEASE_H

#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QObject>

#include <deque>
#include <functional>
#include <memory>

class QTimer;

// Empties containers of icons in short slices of the owning thread's event loop: letting
// go of a large theme's icons at once would hold a new scan's start.
class SlicedRelease : public QObject
{
    Q_OBJECT
public:
    explicit SlicedRelease(QObject *parent);
    ~SlicedRelease() override;

    template<typename Key, typename T>
    void retire(QHash<Key, T> &&hash)
    {
        if (hash.isEmpty()) {
            return;
        }
        auto held = std::make_shared<QHash<Key, T>>(std::move(hash));
        // The iterator is kept between steps: begin() would walk again past every
        // bucket already emptied, making the release of a large hash quadratic.
        addJob([held, it = held->begin()]() mutable {
            for (int n = 0; n < entriesPerStep && it != held->end(); ++n) {
                it = held->erase(it);
            }
            return it != held->end();
        });
    }

    template<typename T>
    void retire(QList<T> &&list)
    {
        if (list.isEmpty()) {
            return;
        }
        auto held = std::make_shared<QList<T>>(std::move(list));
        addJob([held]() {
            // From the back: removing there moves nothing else.
            for (int n = 0; n < entriesPerStep && !held->isEmpty(); ++n) {
                held->removeLast();
            }
            return !held->isEmpty();
        });
    }

    bool isPending() const;
    // The owner is taking in new entries: no slice runs until it has been quiet a while.
    void postpone();

private:
    static constexpr int entriesPerStep = 32;
    static constexpr int maximumLateTicks = 20;
    static constexpr int quietMilliseconds = 50;
    // Each job lets go of up to entriesPerStep entries and tells whether any remain.
    void addJob(std::function<bool()> &&job);
    void releaseSlice();

    std::deque<std::function<bool()>> m_jobs;
    QTimer *m_timer = nullptr;
    QElapsedTimer m_sinceTick;
    QElapsedTimer m_sincePostponed;
    int m_lateTicks = 0;
};

#endif
