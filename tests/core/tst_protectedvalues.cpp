#include <QTest>
class TestProtectedValues : public QObject { Q_OBJECT private slots: void placeholder() {} };
QTEST_GUILESS_MAIN(TestProtectedValues)
#include "tst_protectedvalues.moc"
