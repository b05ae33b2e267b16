#include "core/data/Schema.h"
#include "support/TempDatabase.h"
#include "support/TestSupport.h"

#include "ui/CurrentValues.h"
#include "windows/profiles/InputForm.h"

#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <memory>

using testsupport::child;
using testsupport::MessageRecorder;
using testsupport::ModalWatcher;
using testsupport::TempDatabase;

namespace {

const QString kEmptyField = QStringLiteral("名字、性别、父母姓名、电话、电子邮件、地址不能为空");
const QString kDuplicateName = QStringLiteral("已有同名的儿童，请换一个名字");

QLineEdit *field(QWidget *form, const char *name)
{
    return child<QLineEdit>(form, QString::fromLatin1(name));
}

QComboBox *list(QWidget *form, const char *name)
{
    return child<QComboBox>(form, QString::fromLatin1(name));
}

QPushButton *confirmButton(QWidget *form)
{
    return child<QPushButton>(form, QStringLiteral("ConfirmCmd"));
}

// Selects the entry with the given text, as the user picks it.
void choose(QComboBox *combo, const QString &text)
{
    const int index = combo->findText(text);
    QVERIFY2(index >= 0, qPrintable(text));
    combo->setCurrentIndex(index);
}

void focusIn(QWidget *w)
{
    QFocusEvent event(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(w, &event);
}

QStringList items(const QComboBox *combo)
{
    QStringList result;
    for (int i = 0; i < combo->count(); ++i)
        result.append(combo->itemText(i));
    return result;
}

// The date and sex the lists show, as "2003-1-1 男".
QString shownDateAndSex(QWidget *form)
{
    return list(form, "ComboYear")->currentText() + QLatin1Char('-') + list(form, "ComboMonth")->currentText()
        + QLatin1Char('-') + list(form, "ComboDay")->currentText() + QLatin1Char(' ')
        + list(form, "ComboSex")->currentText();
}

void fillAll(QWidget *form, const QString &name)
{
    field(form, "TextName")->setText(name);
    field(form, "TextPname")->setText(QStringLiteral("王大明 李小红"));
    field(form, "TextPhone")->setText(QStringLiteral("010-12345678"));
    field(form, "TextEmail")->setText(QStringLiteral("family@example.cn"));
    field(form, "TextAddr")->setText(QStringLiteral("北京市海淀区一号"));
}

QVariantMap profile(const QString &name, const QString &sex, const QString &birth)
{
    return {{schema::user::kName, name}, {schema::user::kSex, sex}, {schema::user::kBirth, birth},
        {schema::user::kParent, QStringLiteral("父母")}, {schema::user::kPhone, QStringLiteral("123")},
        {schema::user::kEmail, QStringLiteral("a@b.c")}, {schema::user::kAddress, QStringLiteral("某地")}};
}

} // namespace

class TestInputForm : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void layoutAndCaptions();
    void dayListFitsTheMonth_data();
    void dayListFitsTheMonth();
    void dayListGrowsBackKeepingTheSelection();
    void dayListShrinksToTheMonthsLastDay();
    void yearListRunsFrom1999ToThisYear();

    void abandonedNewProfileLeavesNoRow();
    void storedProfileOpensWithItsOwnValues();
    void unshowableBirthdayOpensWithThePreset_data();
    void unshowableBirthdayOpensWithThePreset();
    void nullColumnsShowAsEmptyText();
    void blankOnlyFieldsPass();
    void eachEmptyFieldGivesOneMessage_data();
    void eachEmptyFieldGivesOneMessage();
    void duplicateNameIsRefused();
    void profileKeepsItsOwnName();
    void renameCarriesOverToRecordsAndCurrentChild();
    void unusualTextIsStoredAndShownIntact();
    void pastedLineBreakIsKept();

private:
    std::unique_ptr<TempDatabase> m_db;
    std::unique_ptr<MessageRecorder> m_messages;
};

void TestInputForm::init()
{
    m_db = std::make_unique<TempDatabase>();
    m_messages = std::make_unique<MessageRecorder>();
    current::userName.clear();
    ModalWatcher::resetTimedOut();
}

void TestInputForm::cleanup()
{
    QVERIFY(!ModalWatcher::timedOut());
    m_messages.reset();
    m_db.reset();
}

void TestInputForm::layoutAndCaptions()
{
    InputForm form;
    form.show();
    QCOMPARE(form.size(), QSize(515, 355));
    QCOMPARE(form.windowTitle(), QStringLiteral("填写基本信息"));
    QCOMPARE(confirmButton(&form)->text(), QStringLiteral("修改完成"));
    QCOMPARE(confirmButton(&form)->geometry(), QRect(192, 312, 105, 33));
    QCOMPARE(
        child<QWidget>(&form, QStringLiteral("LabelAddr"))->property("text").toString(), QStringLiteral("地    址"));
    QCOMPARE(child<QWidget>(&form, QStringLiteral("TextEmail"))->geometry(), QRect(112, 216, 393, 29));
    QVERIFY(!field(&form, "TextSex")->isVisible());
    QVERIFY(!field(&form, "TextBirth")->isVisible());
    QCOMPARE(items(list(&form, "ComboSex")), (QStringList {QStringLiteral("男"), QStringLiteral("女")}));
    QStringList months;
    for (int m = 1; m <= 12; ++m)
        months.append(QString::number(m));
    QCOMPARE(items(list(&form, "ComboMonth")), months);
    QVERIFY(!list(&form, "ComboYear")->isEditable());
    QCOMPARE(form.focusWidget(), field(&form, "TextName"));

    // Tab order: the visible entries row by row, then the button.
    const char *order[] = {"TextName", "ComboSex", "ComboYear", "ComboMonth", "ComboDay", "TextPname", "TextPhone",
        "TextEmail", "TextAddr", "ConfirmCmd"};
    QWidget *w = field(&form, "TextName");
    for (const char *name : order) {
        QCOMPARE(w->objectName(), QString::fromLatin1(name));
        w = w->nextInFocusChain();
        while (!(w->focusPolicy() & Qt::TabFocus) || !w->isVisible() || w->parentWidget() != &form)
            w = w->nextInFocusChain();
    }
}

void TestInputForm::dayListFitsTheMonth_data()
{
    QTest::addColumn<QString>("year");
    QTest::addColumn<QString>("month");
    QTest::addColumn<int>("days");
    QTest::newRow("2000-2") << QStringLiteral("2000") << QStringLiteral("2") << 29;
    QTest::newRow("2003-2") << QStringLiteral("2003") << QStringLiteral("2") << 28;
    QTest::newRow("2004-2") << QStringLiteral("2004") << QStringLiteral("2") << 29;
    QTest::newRow("month 4") << QStringLiteral("2005") << QStringLiteral("4") << 30;
    QTest::newRow("month 12") << QStringLiteral("2005") << QStringLiteral("12") << 31;
}

void TestInputForm::dayListFitsTheMonth()
{
    QFETCH(QString, year);
    QFETCH(QString, month);
    QFETCH(int, days);
    InputForm form;
    form.show();
    QComboBox *day = list(&form, "ComboDay");
    QCOMPARE(day->count(), 31);
    choose(list(&form, "ComboYear"), year);
    choose(list(&form, "ComboMonth"), month);
    QStringList expected;
    for (int d = 1; d <= days; ++d)
        expected.append(QString::number(d));
    // The list follows the change at once, and the focus entering it changes
    // nothing more.
    QCOMPARE(items(day), expected);
    focusIn(day);
    QCOMPARE(items(day), expected);
}

void TestInputForm::dayListGrowsBackKeepingTheSelection()
{
    InputForm form;
    form.show();
    QComboBox *day = list(&form, "ComboDay");
    choose(list(&form, "ComboYear"), QStringLiteral("2003"));
    choose(list(&form, "ComboMonth"), QStringLiteral("2"));
    choose(day, QStringLiteral("28"));
    QCOMPARE(day->count(), 28);

    choose(list(&form, "ComboMonth"), QStringLiteral("1"));
    focusIn(day);
    QCOMPARE(day->count(), 31);
    QCOMPARE(day->itemText(28), QStringLiteral("29"));
    QCOMPARE(day->itemText(30), QStringLiteral("31"));
    QCOMPARE(day->currentText(), QStringLiteral("28"));

    // A day in the middle stays as it is through any change.
    choose(day, QStringLiteral("15"));
    choose(list(&form, "ComboMonth"), QStringLiteral("2"));
    choose(list(&form, "ComboMonth"), QStringLiteral("3"));
    QCOMPARE(day->currentText(), QStringLiteral("15"));
}

void TestInputForm::dayListShrinksToTheMonthsLastDay()
{
    InputForm form;
    form.show();
    QComboBox *day = list(&form, "ComboDay");
    choose(list(&form, "ComboYear"), QStringLiteral("2004"));
    choose(day, QStringLiteral("31"));
    choose(list(&form, "ComboMonth"), QStringLiteral("4"));
    QCOMPARE(day->currentText(), QStringLiteral("30"));
    choose(list(&form, "ComboMonth"), QStringLiteral("2"));
    QCOMPARE(day->currentText(), QStringLiteral("29"));
    choose(list(&form, "ComboYear"), QStringLiteral("2003"));
    QCOMPARE(day->currentText(), QStringLiteral("28"));
    QCOMPARE(day->count(), 28);

    // No impossible date can be composed: the stored birthday is 2003-2-28.
    fillAll(&form, QStringLiteral("小明"));
    confirmButton(&form)->click();
    QCOMPARE(
        m_db->rows(schema::user::kTable).value(0).value(schema::user::kBirth).toString(), QStringLiteral("2003-2-28"));
}

void TestInputForm::yearListRunsFrom1999ToThisYear()
{
    InputForm form;
    QComboBox *year = list(&form, "ComboYear");
    const int thisYear = QDate::currentDate().year();
    QCOMPARE(year->count(), thisYear - 1999 + 1);
    for (int i = 0; i < year->count(); ++i)
        QCOMPARE(year->itemText(i), QString::number(1999 + i));
}

void TestInputForm::abandonedNewProfileLeavesNoRow()
{
    m_db->addRow(
        schema::user::kTable, profile(QStringLiteral("小红"), QStringLiteral("女"), QStringLiteral("2004-5-6")));
    const QList<QVariantMap> before = m_db->rows(schema::user::kTable);
    current::userName = QStringLiteral("不存在");
    {
        InputForm form;
        form.show();
        QVERIFY(form.isNewProfile());
        fillAll(&form, QStringLiteral("小明"));
        form.close();
    }
    QCOMPARE(m_db->rows(schema::user::kTable), before);
    QCOMPARE(current::userName, QStringLiteral("不存在"));
}

void TestInputForm::storedProfileOpensWithItsOwnValues()
{
    m_db->addRow(
        schema::user::kTable, profile(QStringLiteral("小明"), QStringLiteral("男"), QStringLiteral("2004-1-1")));
    m_db->addRow(
        schema::user::kTable, profile(QStringLiteral("小红"), QStringLiteral("女"), QStringLiteral("2005-3-15")));
    const QList<QVariantMap> before = m_db->rows(schema::user::kTable);
    current::userName = QStringLiteral("小红");

    InputForm form;
    form.show();
    QVERIFY(!form.isNewProfile());
    QCOMPARE(form.windowTitle(), QStringLiteral("浏览用户信息"));
    QCOMPARE(confirmButton(&form)->text(), QStringLiteral("关闭"));
    QCOMPARE(shownDateAndSex(&form), QStringLiteral("2005-3-15 女"));
    QCOMPARE(field(&form, "TextName")->text(), QStringLiteral("小红"));
    QCOMPARE(field(&form, "TextPname")->text(), QStringLiteral("父母"));
    QCOMPARE(field(&form, "TextPhone")->text(), QStringLiteral("123"));
    QCOMPARE(field(&form, "TextEmail")->text(), QStringLiteral("a@b.c"));
    QCOMPARE(field(&form, "TextAddr")->text(), QStringLiteral("某地"));

    // "关闭" saves what is shown: unchanged values come back unchanged.
    confirmButton(&form)->click();
    QVERIFY(m_messages->messages.isEmpty());
    QVERIFY(!form.isVisible());
    QCOMPARE(m_db->rows(schema::user::kTable), before);
    QCOMPARE(current::userName, QStringLiteral("小红"));
}

void TestInputForm::unshowableBirthdayOpensWithThePreset_data()
{
    QTest::addColumn<QVariant>("birth");
    QTest::newRow("before 1999") << QVariant(QStringLiteral("1998-12-31"));
    QTest::newRow("after this year") << QVariant(
        QString::number(QDate::currentDate().year() + 1) + QStringLiteral("-1-1"));
    QTest::newRow("not a date") << QVariant(QStringLiteral("去年"));
    QTest::newRow("no such day") << QVariant(QStringLiteral("2005-2-30"));
    QTest::newRow("Null") << QVariant();
}

void TestInputForm::unshowableBirthdayOpensWithThePreset()
{
    QFETCH(QVariant, birth);
    QVariantMap row = profile(QStringLiteral("小红"), QStringLiteral("女"), QString());
    row.insert(schema::user::kBirth, birth);
    m_db->addRow(schema::user::kTable, row);
    current::userName = QStringLiteral("小红");

    InputForm form;
    form.show();
    QCOMPARE(shownDateAndSex(&form), QStringLiteral("2003-1-1 女"));
    // The profile can be saved, with the date the lists show.
    confirmButton(&form)->click();
    QVERIFY(m_messages->messages.isEmpty());
    QCOMPARE(
        m_db->rows(schema::user::kTable).value(0).value(schema::user::kBirth).toString(), QStringLiteral("2003-1-1"));
}

void TestInputForm::nullColumnsShowAsEmptyText()
{
    m_db->addRow(schema::user::kTable, {{schema::user::kName, QStringLiteral("小明")}});
    current::userName = QStringLiteral("小明");

    InputForm form;
    form.show();
    QVERIFY(!form.isNewProfile());
    QCOMPARE(field(&form, "TextName")->text(), QStringLiteral("小明"));
    for (const char *name : {"TextPname", "TextPhone", "TextEmail", "TextAddr"})
        QVERIFY(field(&form, name)->text().isEmpty());
    QCOMPARE(shownDateAndSex(&form), QStringLiteral("2003-1-1 男"));

    confirmButton(&form)->click();
    QCOMPARE(m_messages->messages, QStringList {kEmptyField});
    QVERIFY(m_db->rows(schema::user::kTable).value(0).value(schema::user::kSex).isNull());

    fillAll(&form, QStringLiteral("小明"));
    confirmButton(&form)->click();
    QCOMPARE(m_messages->messages.size(), 1);
    const QVariantMap stored = m_db->rows(schema::user::kTable).value(0);
    QCOMPARE(stored.value(schema::user::kSex).toString(), QStringLiteral("男"));
    QCOMPARE(stored.value(schema::user::kBirth).toString(), QStringLiteral("2003-1-1"));
}

void TestInputForm::blankOnlyFieldsPass()
{
    InputForm form;
    form.show();
    for (const char *name : {"TextName", "TextPname", "TextPhone", "TextEmail", "TextAddr"})
        field(&form, name)->setText(QStringLiteral(" "));
    field(&form, "TextAddr")->setText(QStringLiteral("  北京  "));
    confirmButton(&form)->click();
    QVERIFY(m_messages->messages.isEmpty());
    const QList<QVariantMap> rows = m_db->rows(schema::user::kTable);
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0].value(schema::user::kName).toString(), QStringLiteral(" "));
    QCOMPARE(rows[0].value(schema::user::kEmail).toString(), QStringLiteral(" "));
    QCOMPARE(rows[0].value(schema::user::kAddress).toString(), QStringLiteral("  北京  "));
}

void TestInputForm::eachEmptyFieldGivesOneMessage_data()
{
    QTest::addColumn<QString>("empty");
    QTest::addColumn<bool>("newProfile");
    for (const char *name : {"TextName", "TextPname", "TextPhone", "TextEmail", "TextAddr", "TextBirth"}) {
        QTest::addRow("%s, new profile", name) << QString::fromLatin1(name) << true;
        QTest::addRow("%s, stored profile", name) << QString::fromLatin1(name) << false;
    }
}

void TestInputForm::eachEmptyFieldGivesOneMessage()
{
    QFETCH(QString, empty);
    QFETCH(bool, newProfile);
    if (!newProfile) {
        m_db->addRow(
            schema::user::kTable, profile(QStringLiteral("小红"), QStringLiteral("女"), QStringLiteral("2005-3-15")));
        current::userName = QStringLiteral("小红");
    }
    const QList<QVariantMap> before = m_db->rows(schema::user::kTable);

    InputForm form;
    form.show();
    fillAll(&form, QStringLiteral("小红"));
    choose(list(&form, "ComboYear"), QStringLiteral("2006"));
    choose(list(&form, "ComboSex"), QStringLiteral("女"));
    child<QLineEdit>(&form, empty)->clear();
    QStringList entries;
    for (const QLineEdit *e : form.findChildren<QLineEdit *>())
        entries.append(e->text());
    const QString dateAndSex = shownDateAndSex(&form);

    confirmButton(&form)->click();
    QCOMPARE(m_messages->messages, QStringList {kEmptyField});
    QVERIFY(form.isVisible());
    QCOMPARE(m_db->rows(schema::user::kTable), before);
    QCOMPARE(shownDateAndSex(&form), dateAndSex);
    // Every entry is kept; the sex has been copied into its hidden field.
    QStringList after;
    for (const QLineEdit *e : form.findChildren<QLineEdit *>())
        after.append(e->text());
    QCOMPARE(field(&form, "TextSex")->text(), QStringLiteral("女"));
    entries[form.findChildren<QLineEdit *>().indexOf(field(&form, "TextSex"))] = QStringLiteral("女");
    QCOMPARE(after, entries);
}

void TestInputForm::duplicateNameIsRefused()
{
    m_db->addRow(
        schema::user::kTable, profile(QStringLiteral("小明"), QStringLiteral("男"), QStringLiteral("2004-1-1")));
    m_db->addRow(
        schema::user::kTable, profile(QStringLiteral("小红"), QStringLiteral("女"), QStringLiteral("2005-3-15")));
    const QList<QVariantMap> before = m_db->rows(schema::user::kTable);

    // A new profile under a name already in use.
    current::userName = QStringLiteral("新来的");
    {
        InputForm form;
        form.show();
        fillAll(&form, QStringLiteral("小明"));
        confirmButton(&form)->click();
        QCOMPARE(m_messages->messages, QStringList {kDuplicateName});
        QVERIFY(form.isVisible());
        QCOMPARE(field(&form, "TextName")->text(), QStringLiteral("小明"));
        QCOMPARE(field(&form, "TextBirth")->text(), QStringLiteral("2003-01-01"));
        QCOMPARE(m_db->rows(schema::user::kTable), before);

        // Another name goes through.
        field(&form, "TextName")->setText(QStringLiteral("小明 "));
        confirmButton(&form)->click();
        QCOMPARE(m_messages->messages.size(), 1);
        QCOMPARE(m_db->rows(schema::user::kTable).size(), 3);
    }

    // A stored profile renamed to another child's name.
    m_messages->messages.clear();
    const QList<QVariantMap> three = m_db->rows(schema::user::kTable);
    current::userName = QStringLiteral("小红");
    InputForm form;
    form.show();
    field(&form, "TextName")->setText(QStringLiteral("小明"));
    confirmButton(&form)->click();
    QCOMPARE(m_messages->messages, QStringList {kDuplicateName});
    QVERIFY(form.isVisible());
    QCOMPARE(m_db->rows(schema::user::kTable), three);
    QCOMPARE(current::userName, QStringLiteral("小红"));
}

void TestInputForm::profileKeepsItsOwnName()
{
    // Two rows already share the name: the first is shown and saved under it.
    m_db->addRow(
        schema::user::kTable, profile(QStringLiteral("小红"), QStringLiteral("女"), QStringLiteral("2005-3-15")));
    m_db->addRow(
        schema::user::kTable, profile(QStringLiteral("小红"), QStringLiteral("女"), QStringLiteral("2006-6-6")));
    current::userName = QStringLiteral("小红");
    InputForm form;
    form.show();
    QCOMPARE(shownDateAndSex(&form), QStringLiteral("2005-3-15 女"));
    field(&form, "TextPhone")->setText(QStringLiteral("999"));
    confirmButton(&form)->click();
    QVERIFY(m_messages->messages.isEmpty());
    const QList<QVariantMap> rows = m_db->rows(schema::user::kTable);
    QCOMPARE(rows[0].value(schema::user::kPhone).toString(), QStringLiteral("999"));
    QCOMPARE(rows[1].value(schema::user::kPhone).toString(), QStringLiteral("123"));
}

void TestInputForm::renameCarriesOverToRecordsAndCurrentChild()
{
    m_db->addRow(
        schema::user::kTable, profile(QStringLiteral("小明"), QStringLiteral("男"), QStringLiteral("2004-1-1")));
    m_db->addRow(
        schema::user::kTable, profile(QStringLiteral("小红"), QStringLiteral("女"), QStringLiteral("2005-3-15")));
    for (int month : {1, 2})
        m_db->addRow(schema::testrecord::kTable,
            {{schema::testrecord::kUser, QStringLiteral("小红")}, {schema::testrecord::kMonthAge, month}});
    m_db->addRow(schema::testrecord::kTable,
        {{schema::testrecord::kUser, QStringLiteral("小明")}, {schema::testrecord::kMonthAge, 3}});
    current::userName = QStringLiteral("小红");

    InputForm form;
    form.show();
    field(&form, "TextName")->setText(QStringLiteral("小红红"));
    confirmButton(&form)->click();
    QVERIFY(m_messages->messages.isEmpty());

    QStringList names;
    for (const QVariantMap &row : m_db->rows(schema::user::kTable))
        names.append(row.value(schema::user::kName).toString());
    QCOMPARE(names, (QStringList {QStringLiteral("小明"), QStringLiteral("小红红")}));
    QStringList owners;
    for (const QVariantMap &row : m_db->rows(schema::testrecord::kTable))
        owners.append(row.value(schema::testrecord::kUser).toString());
    QCOMPARE(owners, (QStringList {QStringLiteral("小红红"), QStringLiteral("小红红"), QStringLiteral("小明")}));
    QCOMPARE(current::userName, QStringLiteral("小红红"));

    // The renamed child opens as a stored profile under the new name.
    InputForm again;
    QVERIFY(!again.isNewProfile());
    QCOMPARE(field(&again, "TextName")->text(), QStringLiteral("小红红"));
}

void TestInputForm::unusualTextIsStoredAndShownIntact()
{
    const QString name = QStringLiteral("O'Brien \"小\" 👶🏻 ' or '1'='1");
    const QString pname = QStringLiteral("第一行\n第二行\r\n\t第三行");
    const QString addr = QString(10000, QChar(u'址'));
    const QString email = QString(40000, QLatin1Char('e')) + QStringLiteral("@x");

    {
        InputForm form;
        form.show();
        fillAll(&form, name);
        field(&form, "TextPname")->setText(pname);
        field(&form, "TextAddr")->setText(addr);
        field(&form, "TextEmail")->setText(email);
        QCOMPARE(field(&form, "TextEmail")->text(), email);
        confirmButton(&form)->click();
        QVERIFY(m_messages->messages.isEmpty());
    }
    const QVariantMap stored = m_db->rows(schema::user::kTable).value(0);
    QCOMPARE(stored.value(schema::user::kName).toString(), name);
    QCOMPARE(stored.value(schema::user::kParent).toString(), pname);
    QCOMPARE(stored.value(schema::user::kAddress).toString(), addr);
    QCOMPARE(stored.value(schema::user::kEmail).toString(), email);

    // The name with quotes finds its own profile, and every text comes back.
    current::userName = name;
    InputForm form;
    QVERIFY(!form.isNewProfile());
    QCOMPARE(field(&form, "TextName")->text(), name);
    QCOMPARE(field(&form, "TextPname")->text(), pname);
    QCOMPARE(field(&form, "TextAddr")->text(), addr);
    QCOMPARE(field(&form, "TextEmail")->text(), email);
}

void TestInputForm::pastedLineBreakIsKept()
{
    InputForm form;
    form.show();
    QLineEdit *addr = field(&form, "TextAddr");
    QApplication::clipboard()->setText(QStringLiteral("北京市\n海淀区"));
    if (QApplication::clipboard()->text() != QStringLiteral("北京市\n海淀区"))
        QSKIP("no clipboard on this platform");
    addr->paste();
    QCOMPARE(addr->text(), QStringLiteral("北京市\n海淀区"));
    fillAll(&form, QStringLiteral("小明"));
    addr->clear();
    addr->paste();
    confirmButton(&form)->click();
    QCOMPARE(m_db->rows(schema::user::kTable).value(0).value(schema::user::kAddress).toString(),
        QStringLiteral("北京市\n海淀区"));
}

QTEST_MAIN(TestInputForm)
#include "tst_inputform.moc"
