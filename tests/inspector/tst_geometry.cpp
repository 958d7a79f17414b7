#include "testenv.h"
class TestStub : public QObject
{
  Q_OBJECT
};
TAVO_TEST_MAIN(TestStub)
#include "tst_geometry.moc"
