#include "platform/system/shared_thread_pool.h"

#include <QSemaphore>
#include <QThreadPool>

int PrestartSharedThreadPool() {
    QThreadPool* pool = QThreadPool::globalInstance();
    pool->setExpiryTimeout(-1);
    const int count = pool->maxThreadCount();
    // Every task holds its thread until all have started, so each one gets a thread of its own. The pool is
    // not waited for (waitForDone ends its threads): the tasks' own ends are.
    QSemaphore started;
    QSemaphore release;
    QSemaphore ended;
    for (int i = 0; i < count; ++i) {
        pool->start([&started, &release, &ended] {
            started.release();
            release.acquire();
            ended.release();
        });
    }
    started.acquire(count);
    release.release(count);
    ended.acquire(count);
    return count;
}
