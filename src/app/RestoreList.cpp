#include "RestoreList.h"

#include "core/data/RestorePoints.h"
#include "ui/FileChooser.h"
#include "ui/FixedDialog.h"
#include "ui/Fonts.h"
#include "ui/ParagraphLabel.h"

#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QScreen>
#include <QStyledItemDelegate>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// Rows the list shows before it scrolls, and the room around a row's text.
constexpr int kRowsShown = 8;
constexpr int kRowPadding = 4;
constexpr int kCellPadding = 12;

enum Column { kMade, kChildren, kMonths, kNote, kColumns };

// Rows as far apart as the lines of a paragraph, cells with room around them.
class SpacedRows : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(std::max(size.height(), paragraphs::pitch(option.font) + kRowPadding));
        size.setWidth(size.width() + kCellPadding);
        return size;
    }
};

} // namespace

RestoreList::RestoreList(const QString &folder, const QString &elsewhere, QWidget *parent)
    : QDialog(parent)
    , m_elsewhere(elsewhere)
{
    setObjectName(QStringLiteral("RestoreList"));
    setWindowTitle(QStringLiteral("恢复备份"));
    FixedDialog::titleAndCloseOnly(this);
    setFont(fonts::font(fonts::kSimSun, fonts::kWindowPointSize));

    auto *layout = new QVBoxLayout(this);
    auto *intro = new QLabel(QStringLiteral("选择要恢复的备份（最新的在最上面）："), this);
    layout->addWidget(intro);

    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("backupList"));
    m_list->setColumnCount(kColumns);
    m_list->setHeaderLabels(
        {QStringLiteral("备份时间"), QStringLiteral("孩子"), QStringLiteral("月份"), QStringLiteral("说明")});
    m_list->setRootIsDecorated(false);
    m_list->setItemDelegate(new SpacedRows(m_list));
    m_list->setUniformRowHeights(true);
    m_list->setAllColumnsShowFocus(true);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_list->header()->setStretchLastSection(true);
    m_list->header()->setSectionsMovable(false);
    layout->addWidget(m_list);

    auto *buttons = new QDialogButtonBox(this);
    m_restore = buttons->addButton(QStringLiteral("恢复"), QDialogButtonBox::AcceptRole);
    m_restore->setObjectName(QStringLiteral("restoreCmd"));
    QPushButton *other = buttons->addButton(QStringLiteral("其他位置的文件…"), QDialogButtonBox::ActionRole);
    other->setObjectName(QStringLiteral("otherFileCmd"));
    QPushButton *cancel = buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("cancelCmd"));
    layout->addWidget(buttons);

    connect(m_restore, &QPushButton::clicked, this, &RestoreList::restoreSelected);
    connect(other, &QPushButton::clicked, this, &RestoreList::chooseElsewhere);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_list, &QTreeWidget::itemActivated, this, &RestoreList::restoreSelected);
    connect(m_list, &QTreeWidget::currentItemChanged, this,
        [this](QTreeWidgetItem *current) { m_restore->setEnabled(current != nullptr); });

    fill(folder);
    if (m_list->topLevelItemCount() == 0) {
        intro->setText(QStringLiteral("备份文件夹里还没有备份，可以选择其他位置的备份文件。"));
        m_restore->setEnabled(false);
        other->setDefault(true);
        other->setFocus();
    } else {
        m_list->setCurrentItem(m_list->topLevelItem(0));
        m_restore->setDefault(true);
        m_list->setFocus();
    }
    fitToRows();
}

void RestoreList::fill(const QString &folder)
{
    const QLocale chinese(QLocale::Chinese, QLocale::China);
    for (const backup::RestorePoint &point : backup::restorePoints(folder)) {
        auto *row = new QTreeWidgetItem(m_list);
        row->setText(kMade, chinese.toString(point.made, QStringLiteral("yyyy年M月d日 HH:mm")));
        QStringList notes;
        if (point.keptBeforeRestore)
            notes << QStringLiteral("恢复前的原记录");
        if (point.contents) {
            row->setText(kChildren, QStringLiteral("%1 个孩子").arg(point.contents->children));
            row->setText(kMonths, QStringLiteral("%1 个月").arg(point.contents->months));
        } else {
            notes << QStringLiteral("无法读取");
        }
        row->setText(kNote, notes.join(QStringLiteral("，")));
        row->setData(kMade, Qt::UserRole, point.path);
        row->setData(kMade, Qt::UserRole + 1, point.made);
        row->setToolTip(kMade, point.path);
    }
}

// As wide as every column's text and as high as the rows shown, within the
// screen: nothing is cut, whatever the screen and its scale.
void RestoreList::fitToRows()
{
    QHeaderView *header = m_list->header();
    int width = 2 * m_list->frameWidth();
    const QFontMetrics metrics(m_list->font());
    for (int c = 0; c < kColumns; ++c) {
        int column = header->sectionSizeHint(c);
        for (int r = 0; r < m_list->topLevelItemCount(); ++r)
            column = std::max(column, metrics.horizontalAdvance(m_list->topLevelItem(r)->text(c)) + 2 * kCellPadding);
        width += column;
    }
    const int rows = std::clamp(m_list->topLevelItemCount(), 1, kRowsShown);
    const int rowHeight = paragraphs::pitch(font()) + kRowPadding;
    m_list->setMinimumSize(width, header->sizeHint().height() + 2 * m_list->frameWidth() + rowHeight);
    QSize wanted = sizeHint();
    wanted.setHeight(wanted.height() - m_list->sizeHint().height() + m_list->minimumHeight() + (rows - 1) * rowHeight);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        wanted = wanted.boundedTo(screen->availableGeometry().size());
    resize(wanted);
}

void RestoreList::restoreSelected()
{
    if (const QTreeWidgetItem *row = m_list->currentItem()) {
        m_chosen = row->data(kMade, Qt::UserRole).toString();
        m_chosenMade = row->data(kMade, Qt::UserRole + 1).toDateTime();
        accept();
    }
}

void RestoreList::chooseElsewhere()
{
    const QString file
        = filechooser::open(this, QStringLiteral("恢复备份"), m_elsewhere, QStringLiteral("数据备份 (*.mdb)"));
    if (file.isEmpty())
        return;
    m_chosen = file;
    accept();
}
