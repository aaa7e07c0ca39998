#include "core/base/MemoryRelease.h"

#include <QTest>

#include <cstdlib>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

// Once the threshold is fixed, a large block comes straight from the system
// even after a larger one was freed (which would otherwise have raised the
// threshold past it), and a small one still comes from the heap.
class TestMemoryRelease : public QObject {
    Q_OBJECT
private slots:
    void largeBlocksStayOffTheHeap_data()
    {
        QTest::addColumn<qsizetype>("bytes");
        QTest::addColumn<bool>("fromSystem");
        QTest::newRow("a browser's picture") << qsizetype(1256 * 908 * 4) << true;
        QTest::newRow("just above the threshold") << qsizetype(1024 * 1024 + 4096) << true;
        QTest::newRow("a page's text") << qsizetype(200 * 1024) << false;
    }
    void largeBlocksStayOffTheHeap()
    {
        QFETCH(qsizetype, bytes);
        QFETCH(bool, fromSystem);
        if (!LargeBlocksKeptOffTheHeap())
            QSKIP("the allocator's threshold is glibc's");
#if defined(__GLIBC__)
        KeepLargeBlocksOffTheHeap();
        // A window-sized block, freed: glibc would take its size as the new
        // threshold.
        auto* window = static_cast<volatile char*>(std::malloc(1728 * 972 * 4));
        QVERIFY(window);
        window[0] = 1;
        std::free(const_cast<char*>(window));
        const size_t mappedBefore = mallinfo2().hblkhd;
        auto* block = static_cast<volatile char*>(std::malloc(size_t(bytes)));
        QVERIFY(block);
        block[bytes - 1] = 1;
        const size_t mappedWith = mallinfo2().hblkhd;
        std::free(const_cast<char*>(block));
        QCOMPARE(mappedWith >= mappedBefore + size_t(bytes), fromSystem);
#endif
    }
};

QTEST_GUILESS_MAIN(TestMemoryRelease)
#include "TestMemoryRelease.moc"
