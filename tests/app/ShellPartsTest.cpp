#include "AppFixture.h"
#include "app/browserEngine.h"
#include "app/qtText.h"
#include "suites.h"

#include <QTest>

namespace velmora::test {

class ShellPartsTest : public QObject {
    Q_OBJECT

private slots:
    void browserEngineGetsNoSandboxOnlyAsSuperuser_data() {
        QTest::addColumn<bool>("superuser");
        QTest::newRow("superuser") << true;
        QTest::newRow("ordinary user") << false;
    }

    void browserEngineGetsNoSandboxOnlyAsSuperuser() {
        QFETCH(bool, superuser);
        const QList<QByteArray> flags = chromiumFlags(superuser).split(' ');
        QCOMPARE(flags.contains("--no-sandbox"), superuser);
        QVERIFY(flags.contains("--disable-background-networking"));
        QVERIFY(flags.contains("--disable-gpu"));
    }

    void textsCrossAsCodePage936_data() {
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("ascii") << "abc 123" << QByteArray("abc 123");
        QTest::newRow("chinese") << QStringLiteral("搜索") << QByteArray("\xCB\xD1\xCB\xF7");
        QTest::newRow("full-width punctuation") << QStringLiteral("！：") << QByteArray("\xA3\xA1\xA3\xBA");
        QTest::newRow("empty") << QString() << QByteArray();
    }

    void textsCrossAsCodePage936() {
        QFETCH(QString, shown);
        QFETCH(QByteArray, bytes);
        QCOMPARE(toText(shown), bytes.toStdString());
        QCOMPARE(toQString(bytes.toStdString()), shown);
    }

    void unconvertibleTextsBecomeReplacements() {
        QCOMPARE(toText(QStringLiteral("a😀b")), Text("a?b"));
        QCOMPARE(toQString(Text("a\x81")), QStringLiteral("a\uFFFD"));
    }
};

std::unique_ptr<QObject> makeShellPartsTest() {
    return std::make_unique<ShellPartsTest>();
}

} // namespace velmora::test

#include "ShellPartsTest.moc"
