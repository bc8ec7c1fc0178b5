#include "store/LinkItem.h"

#include <QTest>

class TestLinkItem : public QObject
{
    Q_OBJECT
private slots:
    void newItem();
};

void TestLinkItem::newItem()
{
    LinkItem item;
    QCOMPARE(item.Children.Owner(), &item);
    QCOMPARE(item.Children.Count(), 0);
    QCOMPARE(item.Parent, nullptr);
}

QTEST_GUILESS_MAIN(TestLinkItem)
#include "tst_linkitem.moc"
