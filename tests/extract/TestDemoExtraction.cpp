#include "TestSupport.h"

class TestDemoExtraction : public QObject {
    Q_OBJECT
private slots:
    void placeholder() { QSKIP("demo marketplace test not written yet"); }
};

LUMETRA_TEST_GUILESS_MAIN(TestDemoExtraction)
#include "TestDemoExtraction.moc"
