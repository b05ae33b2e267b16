#include "core/data/Schema.h"
#include "core/reports/WebSite.h"
#include "support/TempDatabase.h"
#include "support/TestSupport.h"
#include "ui/CurrentValues.h"
#include "windows/reports/OutForm.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

using testsupport::AddressRecorder;
using testsupport::child;
using testsupport::MessageRecorder;
using testsupport::ModalWatcher;
using testsupport::TempDatabase;

namespace {

const QString kChild = QStringLiteral("小明");

QVariantMap month(
    const QString &user, int monthAge, QVariant a2 = 10.0, QVariant a3 = 12.5, QVariant a4 = 8.0, QVariant a5 = 9.0)
{
    return {{schema::testrecord::kUser, user}, {schema::testrecord::kMonthAge, monthAge},
        {schema::testrecord::score(1), 7.0}, {schema::testrecord::score(2), a2}, {schema::testrecord::score(3), a3},
        {schema::testrecord::score(4), a4}, {schema::testrecord::score(5), a5}};
}

QStringList entries(const QComboBox *combo)
{
    QStringList list;
    for (int i = 0; i < combo->count(); ++i)
        list << combo->itemText(i);
    return list;
}

QString reportAddress(const QString &query)
{
    return webpages::baseUrl() + QStringLiteral("\\03\\report.asp?") + query;
}

} // namespace

class TestOutForm : public QObject {
    Q_OBJECT
private slots:
    void init();
    void layout();
    void focusAndTabOrder();
    void listsTheChildsMonthsLastSelected();
    void requestsTheFollowingMonth();
    void eachPressIsOneRequest();
    void nameWithQuote();
    void nothingSelected();
    void unfinishedQuestionnaire_data();
    void unfinishedQuestionnaire();
    void rowGoneSinceListing();
};

void TestOutForm::init()
{
    current::userName = kChild;
}

void TestOutForm::layout()
{
    TempDatabase db;
    OutForm form;
    QCOMPARE(form.windowTitle(), QStringLiteral("请您选择月份"));
    QCOMPARE(form.size(), QSize(289, 109));
    QCOMPARE(form.minimumSize(), form.maximumSize());
    QVERIFY(!(form.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));

    auto *label = child<QLabel>(&form, QStringLiteral("Label1"));
    auto *combo = child<QComboBox>(&form, QStringLiteral("ComboMon"));
    auto *ok = child<QPushButton>(&form, QStringLiteral("OKCmd"));
    QCOMPARE(label->text(), QStringLiteral("选择月份"));
    QCOMPARE(label->geometry(), QRect(40, 16, 73, 25));
    QCOMPARE(combo->geometry(), QRect(128, 16, 97, 24));
    QVERIFY(!combo->isEditable());
    QCOMPARE(ok->text(), QStringLiteral("确定"));
    QCOMPARE(ok->geometry(), QRect(88, 64, 89, 33));
    QVERIFY(!ok->isDefault());
    for (QWidget *w : {static_cast<QWidget *>(label), static_cast<QWidget *>(combo), static_cast<QWidget *>(ok)})
        QCOMPARE(w->font().pointSizeF(), 12.0);
}

void TestOutForm::focusAndTabOrder()
{
    TempDatabase db;
    db.addRow(schema::testrecord::kTable, month(kChild, 1));
    OutForm form;
    auto *combo = child<QComboBox>(&form, QStringLiteral("ComboMon"));
    auto *ok = child<QPushButton>(&form, QStringLiteral("OKCmd"));
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QCOMPARE(QApplication::focusWidget(), ok);
    QTest::keyClick(ok, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), combo);
    QTest::keyClick(combo, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), ok);

    // A request leaves the window open for another.
    MessageRecorder messages;
    AddressRecorder addresses;
    ok->click();
    QVERIFY(form.isVisible());
}

void TestOutForm::listsTheChildsMonthsLastSelected()
{
    TempDatabase db;
    db.addRow(schema::testrecord::kTable, month(QStringLiteral("小红"), 7));
    for (int m : {1, 2, 3})
        db.addRow(schema::testrecord::kTable, month(kChild, m));
    db.addRow(schema::testrecord::kTable, month(QStringLiteral("小红"), 8));

    OutForm form;
    auto *combo = child<QComboBox>(&form, QStringLiteral("ComboMon"));
    QCOMPARE(entries(combo), (QStringList {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}));
    QCOMPARE(combo->currentIndex(), 2);
    QCOMPARE(combo->currentText(), QStringLiteral("3"));
}

void TestOutForm::requestsTheFollowingMonth()
{
    TempDatabase db;
    for (int m : {1, 2, 3})
        db.addRow(schema::testrecord::kTable, month(kChild, m, m, m, m, m));
    db.addRow(schema::testrecord::kTable, month(QStringLiteral("小红"), 3, 1.0, 1.0, 1.0, 1.0));
    // Scores of domain 1 are never sent: only the chosen row's a2..a5.
    db.open().Execute(
        QStringLiteral("update testrecord set a2fen=?, a3fen=?, a4fen=?, a5fen=? where monthage=3 and user=?"),
        {10, 12.5, 8, 9, kChild});

    MessageRecorder messages;
    AddressRecorder addresses;
    // The message comes first; the browser is asked only after it is dismissed.
    int addressesAtMessage = -1;
    messages.onMessage = [&](const QString &) { addressesAtMessage = addresses.addresses.size(); };

    OutForm form;
    child<QPushButton>(&form, QStringLiteral("OKCmd"))->click();
    QCOMPARE(messages.messages, QStringList {QStringLiteral("4月的教育方案需要联网获取!")});
    QCOMPARE(addressesAtMessage, 0);
    QCOMPARE(addresses.addresses, QStringList {reportAddress(QStringLiteral("month=4&a2=10&a3=12.5&a4=8&a5=9"))});

    // Another month chosen: its own scores, and the selection stays.
    auto *combo = child<QComboBox>(&form, QStringLiteral("ComboMon"));
    combo->setCurrentIndex(0);
    child<QPushButton>(&form, QStringLiteral("OKCmd"))->click();
    QCOMPARE(addresses.addresses.last(), reportAddress(QStringLiteral("month=2&a2=1&a3=1&a4=1&a5=1")));
    QCOMPARE(combo->currentIndex(), 0);
}

void TestOutForm::eachPressIsOneRequest()
{
    TempDatabase db;
    db.addRow(schema::testrecord::kTable, month(kChild, 3));
    MessageRecorder messages;
    AddressRecorder addresses;
    QStringList order;
    messages.onMessage = [&](const QString &text) { order << text; };

    OutForm form;
    auto *ok = child<QPushButton>(&form, QStringLiteral("OKCmd"));
    ok->click();
    order << addresses.addresses.value(0);
    ok->click();
    order << addresses.addresses.value(1);

    const QString message = QStringLiteral("4月的教育方案需要联网获取!");
    const QString address = reportAddress(QStringLiteral("month=4&a2=10&a3=12.5&a4=8&a5=9"));
    QCOMPARE(order, (QStringList {message, address, message, address}));
    QCOMPARE(addresses.addresses.size(), 2);
}

void TestOutForm::nameWithQuote()
{
    TempDatabase db;
    current::userName = QStringLiteral("O'Neil' or '1'='1");
    db.addRow(schema::testrecord::kTable, month(current::userName, 2));
    db.addRow(schema::testrecord::kTable, month(kChild, 9));
    MessageRecorder messages;
    AddressRecorder addresses;
    OutForm form;
    QCOMPARE(entries(child<QComboBox>(&form, QStringLiteral("ComboMon"))), QStringList {QStringLiteral("2")});
    child<QPushButton>(&form, QStringLiteral("OKCmd"))->click();
    QCOMPARE(addresses.addresses, QStringList {reportAddress(QStringLiteral("month=3&a2=10&a3=12.5&a4=8&a5=9"))});
}

void TestOutForm::nothingSelected()
{
    TempDatabase db;
    db.addRow(schema::testrecord::kTable, month(QStringLiteral("小红"), 4));
    MessageRecorder messages;
    AddressRecorder addresses;
    OutForm form;
    auto *combo = child<QComboBox>(&form, QStringLiteral("ComboMon"));
    QCOMPARE(combo->count(), 0);
    QCOMPARE(combo->currentIndex(), -1);
    child<QPushButton>(&form, QStringLiteral("OKCmd"))->click();
    QCOMPARE(messages.messages, QStringList {QStringLiteral("还没有测试记录，请先进行测试")});
    QVERIFY(addresses.addresses.isEmpty());
}

void TestOutForm::unfinishedQuestionnaire_data()
{
    QTest::addColumn<QString>("column");
    for (const char *c : {"a2fen", "a3fen", "a4fen", "a5fen"})
        QTest::newRow(c) << QString::fromLatin1(c);
}

void TestOutForm::unfinishedQuestionnaire()
{
    QFETCH(QString, column);
    TempDatabase db;
    QVariantMap row = month(kChild, 6);
    row.remove(column); // stays Null: the questionnaire was left before its end
    db.addRow(schema::testrecord::kTable, row);
    MessageRecorder messages;
    AddressRecorder addresses;
    OutForm form;
    child<QPushButton>(&form, QStringLiteral("OKCmd"))->click();
    QCOMPARE(messages.messages, QStringList {QStringLiteral("6月的测试没有完成，不能获取教育方案")});
    QVERIFY(addresses.addresses.isEmpty());
}

void TestOutForm::rowGoneSinceListing()
{
    TempDatabase db;
    db.addRow(schema::testrecord::kTable, month(kChild, 2));
    db.addRow(schema::testrecord::kTable, month(kChild, 3));
    MessageRecorder messages;
    AddressRecorder addresses;
    OutForm form;
    db.open().Execute(QStringLiteral("delete from testrecord where monthage=3"));
    auto *ok = child<QPushButton>(&form, QStringLiteral("OKCmd"));
    ok->click();
    QCOMPARE(messages.messages, QStringList {QStringLiteral("找不到3月的测试记录")});
    QVERIFY(addresses.addresses.isEmpty());

    // The window goes on working for the months still there.
    child<QComboBox>(&form, QStringLiteral("ComboMon"))->setCurrentIndex(0);
    ok->click();
    QCOMPARE(addresses.addresses.size(), 1);
}

QTEST_MAIN(TestOutForm)
#include "tst_outform.moc"
