#include "platform/SystemInfo.h"
#include "support/FakeRegistry.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using Root = platform::Registry::Root;

namespace {
const QByteArray kToolKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const QByteArray kLocationKey = "SOFTWARE\\Microsoft\\Shared Tools Location";

// Captures the programs StartSysInfo would start.
struct StarterRecorder {
    StarterRecorder()
    {
        sysinfo::setProgramStarter([this](const QString &program, const QStringList &arguments) {
            started << program;
            argumentLists << arguments;
            return true;
        });
    }
    ~StarterRecorder() { sysinfo::setProgramStarter({}); }
    QStringList started;
    QList<QStringList> argumentLists;
};
} // namespace

class TestSysInfo : public QObject {
    Q_OBJECT
private slots:
    void getKeyValue_data();
    void getKeyValue();
    void getKeyValueFailures_data();
    void getKeyValueFailures();
    void firstValueStartedUnchecked();
    void secondValueNeedsTheFile();
    void nothingToStart();
    void toolThatWillNotStart();
    void linuxRegistryFindsADesktopTool();
};

void TestSysInfo::getKeyValue_data()
{
    QTest::addColumn<uint>("type");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("expected");

    QTest::newRow("text with closing zero")
        << 1u << QByteArray("C:\\Tools\\msinfo32.exe\0", 22) << QStringLiteral("C:\\Tools\\msinfo32.exe");
    QTest::newRow("text without closing zero") << 1u << QByteArray("abc") << QStringLiteral("abc");
    QTest::newRow("empty text") << 1u << QByteArray() << QString();
    QTest::newRow("number, most significant byte first")
        << 4u << QByteArray("\x78\x56\x34\x12", 4) << QStringLiteral("&h12345678");
    QTest::newRow("number, two uppercase digits a byte")
        << 4u << QByteArray("\x0d\x0c\xab\x0a", 4) << QStringLiteral("&h0AAB0C0D");
    // The closing-zero rule applies to every type: a number whose top byte is
    // zero loses it.
    QTest::newRow("number 42") << 4u << QByteArray("\x2a\x00\x00\x00", 4) << QStringLiteral("&h00002A");
}

void TestSysInfo::getKeyValue()
{
    QFETCH(uint, type);
    QFETCH(QByteArray, data);
    QFETCH(QString, expected);
    FakeRegistry registry;
    registry.setValue(kToolKey, "PATH", type, data);
    QString text = QStringLiteral("caller's");
    QVERIFY(sysinfo::GetKeyValue(
        registry, Root::LocalMachine, QString::fromLatin1(kToolKey), QStringLiteral("PATH"), text));
    QCOMPARE(text, expected);
    QCOMPARE(registry.accessRequested, QList<std::uint32_t> {0x2003F});
    QVERIFY(registry.open.isEmpty());
}

void TestSysInfo::getKeyValueFailures_data()
{
    QTest::addColumn<int>("setup");
    QTest::addColumn<bool>("result");
    QTest::addColumn<QString>("expected");
    QTest::newRow("other type keeps the caller's text") << 0 << true << QStringLiteral("caller's");
    QTest::newRow("no such key") << 1 << false << QString();
    QTest::newRow("no such value") << 2 << false << QString();
    QTest::newRow("access refused") << 3 << false << QString();
    QTest::newRow("value larger than the buffer") << 4 << false << QString();
}

void TestSysInfo::getKeyValueFailures()
{
    QFETCH(int, setup);
    QFETCH(bool, result);
    QFETCH(QString, expected);
    FakeRegistry registry;
    switch (setup) {
    case 0:
        registry.setValue(kToolKey, "PATH", 3, QByteArray("\x01\x02", 2));
        break;
    case 1:
        registry.setText(kLocationKey, "MSINFO", "C:\\x");
        break;
    case 2:
        registry.setText(kToolKey, "OTHER", "C:\\x");
        break;
    case 3:
        registry.setText(kToolKey, "PATH", "C:\\x");
        registry.refuse(kToolKey);
        break;
    case 4:
        registry.setText(kToolKey, "PATH", QByteArray(1024, 'x'));
        break;
    }
    QString text = QStringLiteral("caller's");
    QCOMPARE(
        sysinfo::GetKeyValue(registry, Root::LocalMachine, QString::fromLatin1(kToolKey), QStringLiteral("PATH"), text),
        result);
    QCOMPARE(text, expected);
    QVERIFY(registry.open.isEmpty());
}

void TestSysInfo::firstValueStartedUnchecked()
{
    FakeRegistry registry;
    registry.setText(kToolKey, "PATH", "C:\\Program Files\\Common Files\\Microsoft Shared\\MSInfo\\msinfo32.exe");
    registry.setText(kLocationKey, "MSINFO", "C:\\elsewhere");
    StarterRecorder starter;
    QVERIFY(sysinfo::StartSysInfo(registry));
    QCOMPARE(starter.started,
        QStringList {QStringLiteral("C:\\Program Files\\Common Files\\Microsoft Shared\\MSInfo\\msinfo32.exe")});
    QCOMPARE(starter.argumentLists.value(0), QStringList());
}

void TestSysInfo::secondValueNeedsTheFile()
{
    QTemporaryDir dir;
    const QString toolDir = dir.filePath(QStringLiteral("MSInfo"));
    FakeRegistry registry;
    registry.setText(kLocationKey, "MSINFO", toolDir.toLocal8Bit());
    {
        StarterRecorder starter;
        QVERIFY(!sysinfo::StartSysInfo(registry));
        QVERIFY(starter.started.isEmpty());
    }

    // The directory and "\MSINFO32.EXE" joined as they stand name the file.
    const QString tool = toolDir + QStringLiteral("\\MSINFO32.EXE");
    QFile file(tool);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    StarterRecorder starter;
    QVERIFY(sysinfo::StartSysInfo(registry));
    QCOMPARE(starter.started, QStringList {tool});

    // A first key that refuses access falls through to the second.
    registry.refuse(kToolKey);
    registry.setText(kToolKey, "PATH", "C:\\first.exe");
    QVERIFY(sysinfo::StartSysInfo(registry));
    QCOMPARE(starter.started.last(), tool);
}

void TestSysInfo::nothingToStart()
{
    StarterRecorder starter;
    FakeRegistry empty;
    QVERIFY(!sysinfo::StartSysInfo(empty));

    FakeRegistry refusing;
    refusing.setText(kToolKey, "PATH", "C:\\msinfo32.exe");
    refusing.setText(kLocationKey, "MSINFO", "C:\\");
    refusing.refuseEverything();
    QVERIFY(!sysinfo::StartSysInfo(refusing));
    QCOMPARE(refusing.accessRequested, (QList<std::uint32_t> {0x2003F, 0x2003F}));
    QVERIFY(starter.started.isEmpty());
}

void TestSysInfo::toolThatWillNotStart()
{
    // The real starter: a program that does not exist does not start.
    FakeRegistry registry;
    registry.setText(kToolKey, "PATH", "/nonexistent/tool");
    QVERIFY(!sysinfo::StartSysInfo(registry));
}

void TestSysInfo::linuxRegistryFindsADesktopTool()
{
#ifdef Q_OS_WIN
    QSKIP("the Windows registry is read as it stands");
#else
    const QByteArray savedPath = qgetenv("PATH");
    auto restore = qScopeGuard([&] { qputenv("PATH", savedPath); });
    platform::Registry &native = platform::systemRegistry();
    const QString first = QString::fromLatin1(kToolKey);
    const QString second = QString::fromLatin1(kLocationKey);

    QTemporaryDir dir;
    qputenv("PATH", QFile::encodeName(dir.path()));
    QString text;
    QVERIFY(!sysinfo::GetKeyValue(native, Root::LocalMachine, first, QStringLiteral("PATH"), text));

    auto addTool = [&](const QString &name) {
        QFile tool(dir.filePath(name));
        QVERIFY(tool.open(QIODevice::WriteOnly));
        tool.write("#!/bin/sh\n");
        tool.close();
        tool.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    };
    addTool(QStringLiteral("lxtask"));
    QVERIFY(sysinfo::GetKeyValue(native, Root::LocalMachine, first, QStringLiteral("PATH"), text));
    QCOMPARE(text, dir.filePath(QStringLiteral("lxtask")));
    addTool(QStringLiteral("hardinfo"));
    QVERIFY(sysinfo::GetKeyValue(native, Root::LocalMachine, first, QStringLiteral("PATH"), text));
    QCOMPARE(text, dir.filePath(QStringLiteral("hardinfo")));

    // Nothing else is answered.
    QVERIFY(!sysinfo::GetKeyValue(native, Root::LocalMachine, first, QStringLiteral("OTHER"), text));
    QVERIFY(!sysinfo::GetKeyValue(native, Root::LocalMachine, second, QStringLiteral("MSINFO"), text));
    QVERIFY(text.isEmpty());

    StarterRecorder starter;
    QVERIFY(sysinfo::StartSysInfo(native));
    QCOMPARE(starter.started, QStringList {dir.filePath(QStringLiteral("hardinfo"))});
#endif
}

QTEST_GUILESS_MAIN(TestSysInfo)
#include "tst_sysinfo.moc"
