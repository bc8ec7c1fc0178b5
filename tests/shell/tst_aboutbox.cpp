#include "RecordingHelp.h"
#include "common/StandInOpener.h"
#include "shell/AboutBox.h"
#include "shell/Product.h"
#include "shell/VersionInfo.h"
#include "store/ErrorReporter.h"
#include "widgets/HyperlinkLabel.h"

#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

namespace {

class RecordingReporter : public ErrorReporter
{
public:
    void reportError(const QString &title, const QString &message, const QString &) override
    {
        errors << title + QLatin1Char('|') + message;
    }
    void reportNotice(const QString &message) override { errors << QStringLiteral("notice|") + message; }
    QStringList errors;
};

void append16(QByteArray &bytes, quint16 value)
{
    char buffer[2];
    qToLittleEndian(value, buffer);
    bytes.append(buffer, 2);
}

void append32(QByteArray &bytes, quint32 value)
{
    char buffer[4];
    qToLittleEndian(value, buffer);
    bytes.append(buffer, 4);
}

// A VS_VERSIONINFO block as a Windows program file holds it: wLength, wValueLength 52, wType 0, the UTF-16 key,
// padding to 32 bits, then VS_FIXEDFILEINFO with the given file version.
QByteArray versionBlock(quint16 major1, quint16 major2, quint16 minor1, quint16 minor2, quint32 signature = 0xFEEF04BD)
{
    QByteArray block;
    append16(block, 92);
    append16(block, 52);
    append16(block, 0);
    for (char16_t c : u"VS_VERSION_INFO")
        append16(block, c);
    append16(block, 0);
    append32(block, signature);
    append32(block, 0x00010000);
    append32(block, quint32(major1) << 16 | major2);
    append32(block, quint32(minor1) << 16 | minor2);
    append32(block, 0x00090008); // a product version that must not be taken for the file version
    append32(block, 0x00070006);
    for (int i = 0; i < 7; ++i)
        append32(block, 0);
    return block;
}

// The key alone, as a string table could hold it, without the fixed information after it.
QByteArray strayKey()
{
    QByteArray bytes;
    for (char16_t c : u"VS_VERSION_INFO")
        append16(bytes, c);
    return bytes + QByteArray(60, '\x01');
}

} // namespace

class TestAboutBox : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();

    void versionText_data();
    void versionText();
    void unreadableVersion_data();
    void unreadableVersion();
    void programFilesCarryTheProjectVersion();
    void linksOpenMailAndSite();
    void f1OpensTopic404();

private:
    QString writeFile(const QString &name, const QByteArray &bytes);

    QTemporaryDir m_dir;
    RecordingHelp m_help;
};

void TestAboutBox::initTestCase()
{
    QVERIFY(m_dir.isValid());
}

QString TestAboutBox::writeFile(const QString &name, const QByteArray &bytes)
{
    const QString path = m_dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return QString();
    return path;
}

void TestAboutBox::versionText_data()
{
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<QString>("text");

    const QByteArray junk(1001, '\xcc'); // an odd offset: the block need not be aligned in the file
    QTest::newRow("1.0.0.271") << junk + versionBlock(1, 0, 0, 271) + junk << "1.0.0 Build 271";
    QTest::newRow("2.10.3.5") << versionBlock(2, 10, 3, 5) << "2.10.3 Build 5";
    QTest::newRow("largest numbers") << versionBlock(65535, 65535, 65535, 65535) << "65535.65535.65535 Build 65535";
    QTest::newRow("after a stray key and a broken block")
        << strayKey() + versionBlock(9, 9, 9, 9, 0x12345678) + versionBlock(3, 1, 4, 15) << "3.1.4 Build 15";
}

void TestAboutBox::versionText()
{
    QFETCH(QByteArray, contents);
    QFETCH(QString, text);

    const QString program = writeFile(QStringLiteral("program"), contents);
    QVERIFY(!program.isEmpty());
    RecordingReporter reporter;
    AboutBox box(&m_help, nullptr, &reporter, program);
    QCOMPARE(reporter.errors, QStringList());
    QCOMPARE(box.versionLabel()->text(), text);
    QCOMPARE(box.legalNoticeLabel()->text(), AboutBox::LegalNotice());
    QCOMPARE(box.windowTitle(), QStringLiteral("About Quillmark"));
}

void TestAboutBox::unreadableVersion_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("contents"); // none: the file does not exist

    QTest::newRow("missing file") << "missing" << QByteArray();
    QTest::newRow("empty file") << "empty" << QByteArray("");
    QTest::newRow("no version block") << "plain" << QByteArray(4096, 'x');
    QTest::newRow("stray key only") << "stray" << strayKey();
    QTest::newRow("wrong signature") << "broken" << versionBlock(1, 0, 0, 1, 0xFEEF04BE);
    QTest::newRow("block cut short") << "short" << versionBlock(1, 0, 0, 1).left(80);
}

void TestAboutBox::unreadableVersion()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, contents);

    const QString program = contents.isNull() ? m_dir.filePath(name) : writeFile(name, contents);
    VersionInfo info;
    QVERIFY(!info.setFileName(program));
    QCOMPARE(info.Major1() + info.Major2() + info.Minor1() + info.Minor2(), 0);

    // The box reports the error in the standard error box and opens all the same.
    RecordingReporter reporter;
    AboutBox box(&m_help, nullptr, &reporter, program);
    QCOMPARE(reporter.errors, QStringList {QStringLiteral("|Can't get file version information for ") + program});
    QCOMPARE(box.versionLabel()->text(), QStringLiteral("#"));
    QCOMPARE(box.legalNoticeLabel()->text(), QString());
    QCOMPARE(box.windowTitle(), QStringLiteral("About Quillmark"));
}

void TestAboutBox::programFilesCarryTheProjectVersion()
{
    QStringList numbers = QStringLiteral(QUILLMARK_VERSION).split(QLatin1Char('.'));
    while (numbers.size() < 4)
        numbers << QStringLiteral("0");
    const QString expected = numbers.mid(0, 3).join(QLatin1Char('.')) + QStringLiteral(" Build ") + numbers.at(3);

    // This test program is built from the same library as Quillmark; the box reads the running program by default.
    RecordingReporter reporter;
    AboutBox box(&m_help, nullptr, &reporter);
    QCOMPARE(reporter.errors, QStringList());
    QCOMPARE(box.versionLabel()->text(), expected);

    const QString quillmark = QStringLiteral(QUILLMARK_BIN_DIR "/quillmark");
    QVERIFY2(QFile::exists(quillmark), "the program is built before this test");
    VersionInfo info;
    QVERIFY2(info.setFileName(quillmark), qPrintable(info.errorString()));
    QCOMPARE(AboutBox::VersionText(info.Major1(), info.Major2(), info.Minor1(), info.Minor2()), expected);
}

void TestAboutBox::linksOpenMailAndSite()
{
    StandInOpener opener;
    AboutBox box(&m_help, nullptr);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QCOMPARE(box.MailLinkLabel()->text(), QLatin1String(Product::SupportEMail));
    QCOMPARE(box.WebLinkLabel()->text(), QLatin1String(Product::ProductSiteBase));
    QTest::mousePress(box.MailLinkLabel(), Qt::LeftButton);
    QTest::mousePress(box.WebLinkLabel(), Qt::LeftButton);
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
    QCOMPARE(m_help.requests.size(), 1);
    QCOMPARE(m_help.requests.first().file, QStringLiteral("Quillmark.chm"));
    QCOMPARE(m_help.requests.first().command, HelpSystem::HelpContext);
    QCOMPARE(m_help.requests.first().data, 404);
    QVERIFY(box.isVisible());
}

QTEST_MAIN(TestAboutBox)
#include "tst_aboutbox.moc"
