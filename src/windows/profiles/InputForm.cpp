#include "InputForm.h"
#include "ui/Controls.h"

#include "core/data/AssessmentDb.h"
#include "core/data/Records.h"
#include "core/data/Schema.h"
#include "core/profiles/BirthDate.h"
#include "ui/CurrentValues.h"
#include "ui/Fonts.h"
#include "ui/Messages.h"

#include <QComboBox>
#include <QDate>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <limits>

namespace {

namespace user = schema::user;

const QString kNewCaption = QStringLiteral("填写基本信息");
const QString kProfileCaption = QStringLiteral("浏览用户信息");
const QString kEmptyField = QStringLiteral("名字、性别、父母姓名、电话、电子邮件、地址不能为空");
const QString kDuplicateName = QStringLiteral("已有同名的儿童，请换一个名字");
const QString kBoy = QStringLiteral("男");
const QString kGirl = QStringLiteral("女");

constexpr double kTitlePointSize = 24;
constexpr int kLabelHeight = 25;
constexpr int kFieldHeight = 29;

QLabel *makeLabel(
    QWidget *parent, const char *name, const QString &text, int left, int top, int width, int height = kLabelHeight)
{
    return controls::label(parent, name, text, QRect(left, top, width, height));
}

QLineEdit *makeField(QWidget *parent, const char *name, int left, int top, int width)
{
    auto *field = new QLineEdit(parent);
    field->setObjectName(QString::fromLatin1(name));
    field->setGeometry(left, top, width, kFieldHeight);
    // The fields take text of any length, as typed.
    field->setMaxLength(std::numeric_limits<int>::max());
    return field;
}

QComboBox *makeList(QWidget *parent, const char *name, int left, int top, int width)
{
    auto *list = new QComboBox(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->setGeometry(left, top, width, kFieldHeight);
    list->setEditable(false);
    return list;
}

int chosenNumber(const QComboBox *list)
{
    return list->currentText().toInt();
}

} // namespace

InputForm::InputForm(QWidget *parent)
    : FixedDialog(parent)
{
    setObjectName(QStringLiteral("InputForm"));
    setFont(fonts::font(fonts::kSimSun, fonts::kLargeWindowPointSize));
    setWindowTitle(kNewCaption);
    setFixedSize(515, 355);
    buildControls();
    load();
    m_name->setFocus();
}

InputForm::~InputForm() = default;

void InputForm::buildControls()
{
    QLabel *title = makeLabel(this, "Label1", QStringLiteral("禾岚多元智能--基本信息"), 72, 16, 369, 49);
    title->setFont(fonts::font(fonts::kSimSun, kTitlePointSize));
    controls::setTextColour(title, QColor(0, 0, 255));

    makeLabel(this, "LabelName", QStringLiteral("儿童姓名"), 8, 80, 97);
    m_name = makeField(this, "TextName", 112, 80, 105);
    makeLabel(this, "LabelSex", QStringLiteral("儿童性别"), 224, 80, 97);
    m_sexList = makeList(this, "ComboSex", 336, 80, 49);
    m_sex = makeField(this, "TextSex", 392, 80, 89);
    m_sex->hide();

    makeLabel(this, "LabelBirth", QStringLiteral("儿童生日"), 8, 136, 97);
    m_year = makeList(this, "ComboYear", 112, 128, 81);
    makeLabel(this, "LabelYear", QStringLiteral("年"), 192, 136, 25);
    m_month = makeList(this, "ComboMonth", 216, 128, 57);
    makeLabel(this, "LabelMonth", QStringLiteral("月"), 272, 136, 25);
    m_day = makeList(this, "ComboDay", 296, 128, 65);
    makeLabel(this, "LabelDay", QStringLiteral("日"), 360, 136, 25);
    m_birth = makeField(this, "TextBirth", 392, 136, 121);
    m_birth->hide();

    makeLabel(this, "LabelPName", QStringLiteral("父母姓名"), 8, 184, 97);
    m_pname = makeField(this, "TextPname", 112, 176, 105);
    makeLabel(this, "LabelPhone", QStringLiteral("电话号码"), 224, 184, 97);
    m_phone = makeField(this, "TextPhone", 320, 176, 185);
    makeLabel(this, "LabelEmail", QStringLiteral("电子邮件"), 8, 224, 97);
    m_email = makeField(this, "TextEmail", 112, 216, 393);
    makeLabel(this, "LabelAddr", QStringLiteral("地    址"), 8, 264, 97);
    m_addr = makeField(this, "TextAddr", 112, 256, 393);

    // Enter in a field does not press the button.
    m_confirm = controls::button(this, "ConfirmCmd", QStringLiteral("修改完成"), QRect(192, 312, 105, 33));
    connect(m_confirm, &QPushButton::clicked, this, &InputForm::confirm);

    QWidget *order[] = {m_name, m_sexList, m_year, m_month, m_day, m_pname, m_phone, m_email, m_addr, m_confirm};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    m_day->installEventFilter(this);
}

void InputForm::load()
{
    m_db = assessmentdb::open();
    m_profile = records::profileOf(m_db, current::userName);

    m_year->addItems(birthdate::yearItems(QDate::currentDate().year()));
    m_month->addItems(birthdate::numberItems(1, 12));
    m_day->addItems(birthdate::numberItems(1, 31));
    m_sexList->addItems({kBoy, kGirl});
    // From here on the day list follows the chosen year and month.
    connect(m_year, &QComboBox::currentIndexChanged, this, &InputForm::fitDayList);
    connect(m_month, &QComboBox::currentIndexChanged, this, &InputForm::fitDayList);

    if (m_profile.AtEOF()) {
        // New profile: the row is appended, complete, by Confirm.
        m_newProfile = true;
        m_profile = records::profiles(m_db);
        m_sex->setText(kBoy);
        m_birth->setText(birthdate::kNewProfileText);
        return;
    }

    setWindowTitle(kProfileCaption);
    m_confirm->setText(QStringLiteral("关闭"));
    auto show = [this](QLineEdit *field, const QString &column) {
        field->setText(dao::textOr(m_profile.Fields(column).Value(), QString()));
    };
    show(m_name, user::kName);
    show(m_sex, user::kSex);
    show(m_birth, user::kBirth);
    show(m_pname, user::kParent);
    show(m_phone, user::kPhone);
    show(m_email, user::kEmail);
    show(m_addr, user::kAddress);
    m_loadedName = dao::textOr(m_profile.Fields(user::kName).Value(), QString());
}

void InputForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!m_activated)
        activate();
}

void InputForm::activate()
{
    m_activated = true;
    std::optional<birthdate::Date> date = birthdate::showable(m_birth->text(), QDate::currentDate().year());
    if (!date) {
        // A birthday the lists cannot show (none, not a date, out of range)
        // starts like a new profile's, and the hidden field agrees with them.
        date = birthdate::kNewProfileDate;
        m_birth->setText(birthdate::kNewProfileText);
    }
    m_year->setCurrentIndex(date->year - birthdate::kFirstYear);
    m_month->setCurrentIndex(date->month - 1);
    m_day->setCurrentIndex(date->day - 1);
    m_sexList->setCurrentIndex(m_sex->text() == kGirl ? 1 : 0);
}

void InputForm::fitDayList()
{
    const int length = birthdate::monthLength(chosenNumber(m_year), chosenNumber(m_month));
    const int day = birthdate::keptDay(m_day->currentIndex() + 1, length);
    int n = m_day->count();
    if (n < length)
        m_day->addItems(birthdate::numberItems(n + 1, length));
    while (n > length)
        m_day->removeItem(--n);
    m_day->setCurrentIndex(day - 1);
}

bool InputForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_day && event->type() == QEvent::FocusIn)
        fitDayList();
    return QDialog::eventFilter(watched, event);
}

bool InputForm::nameTaken(const QString &name)
{
    return records::childExists(m_db, name);
}

void InputForm::confirm()
{
    m_sex->setText(m_sexList->currentText());

    for (const QLineEdit *field : {m_name, m_sex, m_birth, m_pname, m_phone, m_email, m_addr}) {
        if (field->text().isEmpty()) {
            messages::show(this, kEmptyField);
            return;
        }
    }

    // A child is known by name alone throughout the application, so two
    // profiles may not share one. A profile keeps its own name.
    const QString name = m_name->text();
    const bool renamed = !m_newProfile && name != m_loadedName;
    if ((m_newProfile || renamed) && nameTaken(name)) {
        messages::show(this, kDuplicateName);
        return;
    }

    m_birth->setText(birthdate::compose(chosenNumber(m_year), chosenNumber(m_month), chosenNumber(m_day)));

    auto assignColumns = [this] {
        m_profile.Fields(user::kName).setValue(m_name->text());
        m_profile.Fields(user::kSex).setValue(m_sex->text());
        m_profile.Fields(user::kBirth).setValue(m_birth->text());
        m_profile.Fields(user::kParent).setValue(m_pname->text());
        m_profile.Fields(user::kPhone).setValue(m_phone->text());
        m_profile.Fields(user::kEmail).setValue(m_email->text());
        m_profile.Fields(user::kAddress).setValue(m_addr->text());
    };

    if (m_newProfile) {
        m_profile.AddNew();
        assignColumns();
        m_profile.Update();
    } else {
        // A rename carries over to the child's month records and to the
        // current child, all in one step.
        dao::Transaction tx(m_db);
        m_profile.Edit();
        assignColumns();
        m_profile.Update();
        if (renamed)
            records::renameMonths(m_db, m_loadedName, name);
        tx.Commit();
        if (renamed)
            current::userName = name;
    }
    accept();
}
