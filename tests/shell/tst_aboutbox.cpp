#include "RecordingHelp.h"
#include "common/StandInOpener.h"
#include "shell/AboutBox.h"
#include "shell/Product.h"
#include "widgets/HyperlinkLabel.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

class TestAboutBox : public QObject
{
    Q_OBJECT
private slots:
    void versionText_data();
    void versionText();
    void okAccepts();
    void linksOpenMailAndSite();
    void f1OpensTopic404();

private:
    RecordingHelp m_help;
};

void TestAboutBox::versionText_data()
{
    QTest::addColumn<QString>("version");
    QTest::addColumn<QString>("text");

    QTest::newRow("1.0.0.271") << "1.0.0.271"
                               << "1.0.0 Build 271";
    QTest::newRow("2.10.3.5") << "2.10.3.5"
                              << "2.10.3 Build 5";
    QTest::newRow("no build number") << "2.1.0"
                                     << "2.1.0 Build 0";
    QTest::newRow("none") << ""
                          << "#";
}

// The box shows the application's version: three numbers, then the build number.
void TestAboutBox::versionText()
{
    QFETCH(QString, version);
    QFETCH(QString, text);

    const QString programVersion = QCoreApplication::applicationVersion();
    QCoreApplication::setApplicationVersion(version);
    AboutBox box(&m_help, nullptr);
    QCoreApplication::setApplicationVersion(programVersion);
    QCOMPARE(box.versionLabel()->text(), text);
    QCOMPARE(box.legalNoticeLabel()->text(), AboutBox::LegalNotice());
    QCOMPARE(box.windowTitle(), QStringLiteral("About Quillmark"));
}

void TestAboutBox::okAccepts()
{
    AboutBox box(&m_help, nullptr);
    auto *buttons = qobject_cast<QDialogButtonBox *>(box.okButton()->parentWidget());
    QVERIFY(buttons);
    QCOMPARE(buttons->buttonRole(box.okButton()), QDialogButtonBox::AcceptRole);
    QCOMPARE(box.okButton()->text(), QStringLiteral("Ok"));
    QVERIFY(box.okButton()->isDefault());
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QTest::mouseClick(box.okButton(), Qt::LeftButton);
    QVERIFY(!box.isVisible());
    QCOMPARE(box.result(), int(QDialog::Accepted));
}

void TestAboutBox::linksOpenMailAndSite()
{
    StandInOpener opener;
    AboutBox box(&m_help, nullptr);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QCOMPARE(box.mailLinkLabel()->text(), QLatin1String(Product::SupportEMail));
    QCOMPARE(box.webLinkLabel()->text(), QLatin1String(Product::ProductSiteBase));
    QTest::mousePress(box.mailLinkLabel(), Qt::LeftButton);
    QTest::mousePress(box.webLinkLabel(), Qt::LeftButton);
    const QStringList expected {QStringLiteral("mailto:") + QLatin1String(Product::SupportEMail),
                                QLatin1String(Product::ProductSiteBase)};
    QCOMPARE(opener.opened, expected);
    QCOMPARE(box.distributorLabel()->text(), QStringLiteral("Distributed by quillmark.orbrook.example"));
}

void TestAboutBox::f1OpensTopic404()
{
    AboutBox box(&m_help, nullptr);
    box.show();
    QVERIFY(QTest::qWaitForWindowActive(&box));
    m_help.requests.clear();
    QTest::keyClick(&box, Qt::Key_F1);
    QCOMPARE(m_help.requests, QList<int> {404});
    QVERIFY(box.isVisible());
}

QTEST_MAIN(TestAboutBox)
#include "tst_aboutbox.moc"
