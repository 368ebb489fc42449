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

// Letting go of the icons of a large theme at once holds the event loop for a few
// hundred milliseconds once their pixmaps have been rendered, at the moment a new scan
// starts and names begin to arrive. Containers handed over here are emptied from the
// event loop in short slices instead, still on the thread that owns them, since icons
// must not be released elsewhere.
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

private:
    static constexpr int entriesPerStep = 32;
    static constexpr int maximumLateTicks = 20;
    // Each job lets go of up to entriesPerStep entries and tells whether any remain.
    void addJob(std::function<bool()> &&job);
    void releaseSlice();

    std::deque<std::function<bool()>> m_jobs;
    QTimer *m_timer = nullptr;
    QElapsedTimer m_sinceTick;
    int m_lateTicks = 0;
};

#endif
