#include "windows/reports/GrowthReportPdf.h"

#include "core/reports/Growth.h"
#include "ui/AppInfo.h"
#include "ui/Fonts.h"
#include "windows/reports/PlanPdf.h"
#include "windows/reports/ReportCanvas.h"

#include <QFontDatabase>
#include <QPageSize>
#include <QPdfWriter>

namespace growthreport {

namespace {

using namespace pdf;

QString sexNote(const ChildRecord &child)
{
    if (child.sex)
        return QString();
    const QString sex = child.sexText.trimmed();
    return (sex.isEmpty() ? QStringLiteral("档案里没有填写性别")
                          : QStringLiteral("档案里的性别是“%1”，不是“男”或“女”").arg(sex))
        + QStringLiteral("，WHO 标准按性别分别给出，所以不计算 z 值和百分位，生长曲线图也不画标准曲线。");
}

// The birth date in the page's date form; a text that is no date as it stands.
QString birthText(const ChildRecord &child)
{
    if (child.birth.isValid())
        return dayText(child.birth);
    const QString text = child.birthText.trimmed();
    return text.isEmpty() ? kNone : text;
}

// The child's age on the report date: months and days, from three years on
// years and months.
QString currentAge(const ChildRecord &child, const QDate &reportDate)
{
    const QDate &birth = child.birth;
    const int months = birth.isValid() ? growth::completedMonths(birth, reportDate) : -1;
    if (months < 0)
        return kNone;
    if (months >= 36)
        return QStringLiteral("%1岁%2个月").arg(months / 12).arg(months % 12);
    return QStringLiteral("%1月%2天").arg(months).arg(birth.addMonths(months).daysTo(reportDate));
}

// The heading and the child's profile on the first page; returns where the
// notes below them start.
double drawProfile(Canvas &c, const ChildRecord &child, const QDate &reportDate)
{
    const QFont note = fonts::font(fonts::kSimHei, 7.5);
    c.text(c.rect(kMargin, kMargin, kContentW, 10), QStringLiteral("生长发育报告"), fonts::font(fonts::kSimHei, 17));
    c.text(c.rect(kMargin, kMargin, kContentW, 10), appinfo::kTitle, note, Qt::AlignRight | Qt::AlignVCenter,
        QColor(0x66, 0x66, 0x66));
    const double profileTop = kMargin + 13;
    const QStringList profile {QStringLiteral("姓名：") + child.name,
        QStringLiteral("性别：") + (child.sexText.trimmed().isEmpty() ? kNone : child.sexText.trimmed()),
        QStringLiteral("出生日期：") + birthText(child), QStringLiteral("现在年龄：") + currentAge(child, reportDate),
        QStringLiteral("报告日期：") + dayText(reportDate)};
    const double widths[] = {44, 22, 40, 36, 38};
    double x = kMargin;
    for (qsizetype i = 0; i < profile.size(); ++i) {
        c.text(c.rect(x, profileTop, widths[i], 7), profile.at(i), fonts::font(fonts::kSimHei, 10));
        x += widths[i];
    }
    return profileTop + 9;
}

// How to read the table, below the profile; a sex the standard does not
// know first, in red.
void drawNotes(Canvas &c, const ChildRecord &child, double top)
{
    const QFont note = fonts::font(fonts::kSimHei, 7.5);
    QStringList notes {
        QStringLiteral("“年龄”是比较时用的年龄：有测量日期时是从出生日期到测量那天的实际年龄（如“3月12天”）；"
                       "没有测量日期、出生日期无法识别，或测量日期早于出生日期、晚于所记月龄的下一个月时，"
                       "取该月龄的中间（如“约3.5月”）。"
                       "身长/身高和体重与 WHO Child Growth Standards（2006）中同性别、同日龄的儿童相比，给出 z 值"
                       "（与中位数相差几个标准差）和百分位（同龄儿童中低于这个数值的百分比）；"
                       "不满 731 天（约 24 个月）对照卧位身长，从 731 天起对照立位身高。"),
        QStringLiteral("出生时不足 37 周的早产儿，24 个月以前的百分位应按矫正年龄（实际年龄减去提前出生的周数）来读。"),
        QStringLiteral("* 低于第 3 百分位或高于第 97 百分位；! 超出 WHO 认为可能的范围（体重 z 小于 −6 或大于 +5，"
                       "身长/身高 z 小于 −6 或大于 +6），请核对测量值。— 无法计算（性别不明、年龄超出标准或数值无效）；"
                       "“未测”：记为 0；“无法识别”：保存的数值不是有效的数字。得分空白表示该月的问卷没有做完。")};
    if (!sexNote(child).isEmpty())
        notes.prepend(sexNote(child));
    double y = top;
    for (const QString &n : notes) {
        const QRectF r = c.rect(kMargin, y, kContentW, 30);
        c.painter().setFont(note);
        const QRectF used = c.painter().boundingRect(r, Qt::TextWordWrap, n);
        c.text(r, n, note, Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop,
            n == sexNote(child) ? kFlag : QColor(0x44, 0x44, 0x44));
        y += used.height() / c.mm(1) + 1.2;
    }
}

// The charts: a page of their own.
void drawChartsPage(Canvas &c, const ChildRecord &child)
{
    c.nextPage();
    c.text(c.rect(kMargin, kMargin, kContentW, 8), child.name + QStringLiteral(" 的生长曲线和发育得分"),
        fonts::font(fonts::kSimHei, 11));
    const double chartH = (kBodyBottom - kMargin - 10) / 3;
    drawGrowthChart(c, kMargin + 10, chartH, growth::Indicator::LengthHeightForAge, child);
    drawGrowthChart(c, kMargin + 10 + chartH, chartH, growth::Indicator::WeightForAge, child);
    drawDomainChart(c, kMargin + 10 + 2 * chartH, chartH, child.months);
}

void drawChild(Canvas &c, const ChildRecord &child, const QDate &reportDate)
{
    c.nextPage();
    drawNotes(c, child, drawProfile(c, child, reportDate));
    drawMonthTable(c, child);
    drawChartsPage(c, child);
}

} // namespace

bool chineseFontAvailable()
{
    return !QFontDatabase::families(QFontDatabase::SimplifiedChinese).isEmpty();
}

bool writePdf(
    QIODevice *device, const QList<ChildRecord> &children, const QDate &reportDate, const QList<nextmonth::Page> &plans)
{
    fonts::installSubstitutions();
    QPdfWriter pdf(device);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    pdf.setResolution(kResolution);
    pdf.setTitle(title(children));
    pdf.setCreator(appinfo::kTitle);

    std::vector<planpdf::PlanDocument> planDocs;
    if (plans.size() == children.size()) {
        for (const nextmonth::Page &plan : plans)
            planDocs.emplace_back(plan, reportDate, &pdf);
    }
    int pages = 0;
    for (qsizetype i = 0; i < children.size(); ++i)
        pages += tablePages(children.at(i)) + 1 + (planDocs.empty() ? 0 : planDocs.at(i).pageCount());
    Canvas canvas(pdf, pages);
    if (!canvas.begin())
        return false;
    canvas.painter().setRenderHint(QPainter::Antialiasing);
    for (qsizetype i = 0; i < children.size(); ++i) {
        drawChild(canvas, children.at(i), reportDate);
        if (!planDocs.empty()) {
            planDocs.at(i).draw(canvas);
            canvas.setFooter(kReportSources, kReportNote);
        }
    }
    canvas.end();
    return true;
}

} // namespace growthreport
