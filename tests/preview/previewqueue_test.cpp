// What a page no longer on view asked for is skipped, not made.
#include "preview/previewqueue.h"

#include <QList>
#include <QMutex>
#include <QSemaphore>

#include <gtest/gtest.h>

using namespace vimbrel;

TEST(PreviewQueue, WorkOfAReplacedPageIsSkippedInItsTurn)
{
    PreviewQueue queue(1);
    QSemaphore running;
    QSemaphore release;
    QMutex lock;
    QList<std::pair<int, bool>> ran;
    const auto work = [&](int n) {
        return [&, n](bool current) {
            if (n == 0) {
                running.release();
                release.acquire(); // the first picture is being made when the page changes
            }
            const QMutexLocker locker(&lock);
            ran.append({n, current});
        };
    };
    for (int n = 0; n < 4; ++n)
        queue.start(work(n));
    running.acquire();
    queue.newPage(); // the layout pressed again
    for (int n = 4; n < 6; ++n)
        queue.start(work(n));
    release.release();
    ASSERT_TRUE(queue.waitForDone(30000));

    // Every request is answered, in order; only the new page's are made.
    const QList<std::pair<int, bool>> expected = {{0, true},  {1, false}, {2, false},
                                                  {3, false}, {4, true},  {5, true}};
    EXPECT_EQ(ran, expected);
}
