#include "BrowForm.h"
#include "ui/Controls.h"

#include "core/data/AssessmentDb.h"
#include "core/data/Records.h"
#include "ui/CurrentValues.h"
#include "ui/Fonts.h"
#include "ui/Messages.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>

BrowForm::BrowForm(QWidget *parent)
    : FixedDialog(parent)
{
    setObjectName(QStringLiteral("BrowForm"));
    setWindowTitle(QStringLiteral("用户管理"));
    setFont(fonts::font(fonts::kSimSun, fonts::kWindowPointSize));
    setFixedSize(184, 266);

    controls::label(this, "Label1", QStringLiteral("选择用户"), QRect(8, 16, 177, 33));

    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("List1"));
    m_list->setGeometry(16, 48, 153, 164);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    // Every entry is one line of the same font: the list need not measure
    // each one.
    m_list->setUniformItemSizes(true);

    // Neither default nor cancel button: Enter does not press it.
    QPushButton *ok = controls::button(this, "cmdOK", QStringLiteral("确  定"), QRect(56, 232, 73, 25));
    ok->setDefault(false);
    connect(ok, &QPushButton::clicked, this, &BrowForm::confirm);

    setTabOrder(m_list, ok);
    fillList();
    // No entry may look chosen while none is: the list opens without a
    // current entry (a list given the focus would otherwise make its first
    // entry current), so the first Down chooses the first name.
    m_list->setCurrentIndex(QModelIndex());
    m_list->setFocus();
}

void BrowForm::fillList()
{
    dao::Database db = assessmentdb::open();
    // The names in stored order; only that column is read, and the list takes
    // them in one step, so that a file with thousands of children still opens
    // at once.
    dao::Recordset users = records::childNames(db);
    QStringList names;
    names.reserve(users.RecordCount());
    for (; !users.AtEOF(); users.MoveNext()) {
        const QVariant name = users.Fields(0).Value();
        if (!name.isNull())
            names.append(dao::text(name));
    }
    m_list->addItems(names);
}

void BrowForm::confirm()
{
    const QList<QListWidgetItem *> chosen = m_list->selectedItems();
    const QString name = chosen.isEmpty() ? QString() : chosen.first()->text();
    if (name.isEmpty()) {
        messages::show(this, QStringLiteral("请选择用户"));
        return;
    }
    current::userName = name;
    accept();
}
