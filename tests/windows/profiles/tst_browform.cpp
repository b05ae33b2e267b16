#include "core/data/Schema.h"
#include "support/TempDatabase.h"
#include "support/TestSupport.h"

#include "ui/CurrentValues.h"
#include "windows/profiles/BrowForm.h"
#include "windows/profiles/InputForm.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

#include <memory>

using testsupport::child;
using testsupport::MessageRecorder;
using testsupport::ModalWatcher;
using testsupport::TempDatabase;

namespace {

QListWidget *nameList(QWidget *form)
{
    return child<QListWidget>(form, QStringLiteral("List1"));
}

QPushButton *okButton(QWidget *form)
{
    return child<QPushButton>(form, QStringLiteral("cmdOK"));
}

QStringList entries(QWidget *form)
{
    QStringList result;
    for (int i = 0; i < nameList(form)->count(); ++i)
        result.append(nameList(form)->item(i)->text());
    return result;
}

void pick(QWidget *form, int row)
{
    nameList(form)->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
}

} // namespace

class TestBrowForm : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void layout();
    void listSkipsNullNamesAndKeepsOrderAndDuplicates();
    void confirmWithoutChoiceAsksForOne();
    void confirmMakesTheChosenChildCurrent_data();
    void confirmMakesTheChosenChildCurrent();
    void closeBoxKeepsTheCurrentChild();
    void opensWithoutCurrentEntry();
    void activatingAnEntryConfirmsNothing();

private:
    std::unique_ptr<TempDatabase> m_db;
    std::unique_ptr<MessageRecorder> m_messages;
};

void TestBrowForm::init()
{
    m_db = std::make_unique<TempDatabase>();
    m_messages = std::make_unique<MessageRecorder>();
    ModalWatcher::resetTimedOut();
    const QVariant null;
    for (const QVariant &name :
        {QVariant(QStringLiteral("张三")), null, QVariant(QStringLiteral("李四")), QVariant(QStringLiteral("张三"))})
        m_db->addRow(
            schema::user::kTable, {{schema::user::kName, name}, {schema::user::kBirth, QStringLiteral("2005-3-15")}});
    current::userName = QStringLiteral("李四");
}

void TestBrowForm::cleanup()
{
    QVERIFY(!ModalWatcher::timedOut());
    m_messages.reset();
    m_db.reset();
}

void TestBrowForm::layout()
{
    BrowForm form;
    form.show();
    QCOMPARE(form.windowTitle(), QStringLiteral("用户管理"));
    QCOMPARE(form.size(), QSize(184, 266));
    QCOMPARE(child<QLabel>(&form, QStringLiteral("Label1"))->text(), QStringLiteral("选择用户"));
    QCOMPARE(nameList(&form)->geometry(), QRect(16, 48, 153, 164));
    QCOMPARE(okButton(&form)->text(), QStringLiteral("确  定"));
    QCOMPARE(okButton(&form)->geometry(), QRect(56, 232, 73, 25));
    QVERIFY(!okButton(&form)->isDefault());
    QVERIFY(!okButton(&form)->autoDefault());
    QCOMPARE(form.focusWidget(), nameList(&form));
    QWidget *next = nameList(&form)->nextInFocusChain();
    while (!(next->focusPolicy() & Qt::TabFocus))
        next = next->nextInFocusChain();
    QCOMPARE(next, okButton(&form));
}

void TestBrowForm::listSkipsNullNamesAndKeepsOrderAndDuplicates()
{
    BrowForm form;
    form.show();
    QCOMPARE(entries(&form), (QStringList {QStringLiteral("张三"), QStringLiteral("李四"), QStringLiteral("张三")}));
    QVERIFY(nameList(&form)->selectedItems().isEmpty());
}

void TestBrowForm::confirmWithoutChoiceAsksForOne()
{
    BrowForm form;
    form.show();
    okButton(&form)->click();
    QCOMPARE(m_messages->messages, QStringList {QStringLiteral("请选择用户")});
    QVERIFY(form.isVisible());
    QCOMPARE(current::userName, QStringLiteral("李四"));

    // The user may still choose and confirm.
    pick(&form, 0);
    okButton(&form)->click();
    QVERIFY(!form.isVisible());
    QCOMPARE(current::userName, QStringLiteral("张三"));
}

void TestBrowForm::confirmMakesTheChosenChildCurrent_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("name");
    QTest::newRow("first") << 0 << QStringLiteral("张三");
    QTest::newRow("second") << 1 << QStringLiteral("李四");
    QTest::newRow("duplicate") << 2 << QStringLiteral("张三");
}

void TestBrowForm::confirmMakesTheChosenChildCurrent()
{
    QFETCH(int, row);
    QFETCH(QString, name);
    current::userName = QStringLiteral("别人");
    BrowForm form;
    form.show();
    pick(&form, row);
    okButton(&form)->click();
    QVERIFY(m_messages->messages.isEmpty());
    QCOMPARE(form.result(), int(QDialog::Accepted));
    QCOMPARE(current::userName, name);
}

void TestBrowForm::closeBoxKeepsTheCurrentChild()
{
    BrowForm form;
    form.show();
    pick(&form, 0);
    form.close();
    QVERIFY(!form.isVisible());
    QCOMPARE(current::userName, QStringLiteral("李四"));
}

void TestBrowForm::opensWithoutCurrentEntry()
{
    BrowForm form;
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QListWidget *list = nameList(&form);
    QCOMPARE(QApplication::focusWidget(), list);
    QCOMPARE(list->currentRow(), -1);
    // The first Down chooses the first name.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QCOMPARE(list->currentRow(), 0);
    QCOMPARE(list->selectedItems(), QList<QListWidgetItem *> {list->item(0)});
}

void TestBrowForm::activatingAnEntryConfirmsNothing()
{
    BrowForm form;
    form.show();
    pick(&form, 0);
    QTest::keyClick(nameList(&form), Qt::Key_Return);
    QListWidgetItem *item = nameList(&form)->item(0);
    QTest::mouseDClick(nameList(&form)->viewport(), Qt::LeftButton, {}, nameList(&form)->visualItemRect(item).center());
    QVERIFY(form.isVisible());
    QCOMPARE(current::userName, QStringLiteral("李四"));
}

QTEST_MAIN(TestBrowForm)
#include "tst_browform.moc"
