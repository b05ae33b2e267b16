#include "windows/reports/PlanPdf.h"

#include "ui/AppInfo.h"
#include "ui/Fonts.h"
#include "windows/reports/ReportCanvas.h"

#include <QAbstractTextDocumentLayout>
#include <QPageSize>
#include <QPdfWriter>

namespace planpdf {

namespace {

using namespace growthreport::pdf;

QString escaped(const QString &text)
{
    return text.toHtmlEscaped();
}

QString activities(const QList<nextmonth::Activity> &list)
{
    QString html;
    for (const nextmonth::Activity &a : list) {
        html += QStringLiteral("<p class=\"item\"><b>%1</b>").arg(escaped(a.title));
        if (!a.howto.isEmpty())
            html += QStringLiteral("<br>%1").arg(escaped(a.howto));
        html += QStringLiteral("</p>");
    }
    return html;
}

QString bullets(const QStringList &list)
{
    QString html = QStringLiteral("<ul>");
    for (const QString &s : list)
        html += QStringLiteral("<li>%1</li>").arg(escaped(s));
    return html + QStringLiteral("</ul>");
}

QString monthName(int month)
{
    return month == 1                  ? QStringLiteral("满月")
        : month % 12 == 0              ? QStringLiteral("%1岁").arg(month / 12)
        : month > 12 && month % 6 == 0 ? QStringLiteral("%1岁半").arg(month / 12)
                                       : QStringLiteral("%1个月").arg(month);
}

QString comingMonth(const nextmonth::Page &page)
{
    const int coming = page.month + 1;
    if (page.month >= nextmonth::kLastMonth)
        return QStringLiteral("<p>问卷到%1个月为止，之后没有新的月份了。3岁时请按时去做3岁体检，"
                              "那时会查视力、做听力筛查，医生也会看看孩子各方面的发育。</p>")
            .arg(nextmonth::kLastMonth);
    QString html;
    if (page.practise && !page.practise->isEmpty()) {
        html += QStringLiteral(
            "<h2>可以多陪着练的</h2><p class=\"note\">%1个月的问卷里答了“一般”“几乎不行”或“完全不行”的项目，"
            "平时可以多陪着做一做：</p>")
                    .arg(page.month);
        html += activities(*page.practise);
    }
    const bool scored = !page.domains.isEmpty() && page.domains.first().score.has_value();
    html += QStringLiteral("<h2>%1个月可以一起做的</h2><p class=\"note\">%2</p>")
                .arg(coming)
                .arg(scored ? QStringLiteral("按%1个月各方面的得分，占比低的方面排在前面。").arg(page.month)
                            : QStringLiteral("%1个月的问卷还没有做完，各方面按平常的顺序排列。").arg(page.month));
    for (const nextmonth::DomainPlan &domain : page.domains) {
        if (domain.activities.isEmpty())
            continue;
        html += QStringLiteral("<h3>%1</h3>").arg(escaped(nextmonth::shareText(domain)));
        html += activities(domain.activities);
    }
    return html;
}

QString doctor(const nextmonth::Page &page)
{
    QString html = QStringLiteral("<h2>这些情况请咨询儿保医生</h2>");
    html += QStringLiteral("<p>孩子到%1个月时，如果有下面的情况：</p>").arg(page.checkpoint) + bullets(page.signs);
    html += QStringLiteral("<p>不论多大，如果：</p>") + bullets(page.anyAgeSigns);
    html += QStringLiteral("<p class=\"note\">这些是去问医生的理由，不是诊断；有其中一条的孩子，大多数其实没有问题，"
                           "早问一句，心里更踏实。</p>");
    QStringList months;
    QString next;
    for (const auto &[month, text] : page.visits) {
        months << monthName(month);
        if (page.nextVisit && month == *page.nextVisit)
            next = text;
    }
    html += QStringLiteral("<h3>儿童保健体检</h3><p>按国家的安排在%1各做一次，每次都查眼睛，6个月、1岁、2岁和3岁时"
                           "还做听力筛查。</p>")
                .arg(months.join(QStringLiteral("、")));
    if (!next.isEmpty())
        html += QStringLiteral("<p>下一次：%1</p>").arg(escaped(next));
    return html;
}

} // namespace

QString html(const nextmonth::Page &page, const QDate &day)
{
    const QString title = page.month >= nextmonth::kLastMonth ? QStringLiteral("接下来：3岁以后")
                                                              : QStringLiteral("接下来：%1个月").arg(page.month + 1);
    return QStringLiteral("<html><head><style>"
                          "h1 { font-size: 17pt; } h2 { font-size: 13pt; margin-top: 14px; } "
                          "h3 { font-size: 11pt; margin-top: 10px; } p.item { margin-top: 4px; } "
                          ".note { color: #555555; }"
                          "</style></head><body>")
        + QStringLiteral("<h1>%1</h1><p class=\"note\">%2 · 下月陪玩建议 · %3</p>")
              .arg(title, escaped(page.child), day.toString(QStringLiteral("yyyy-M-d")))
        + comingMonth(page) + doctor(page) + QStringLiteral("</body></html>");
}

PlanDocument::PlanDocument(const nextmonth::Page &page, const QDate &day, QPaintDevice *device)
    : m_doc(std::make_unique<QTextDocument>())
{
    m_doc->documentLayout()->setPaintDevice(device);
    m_doc->setDefaultFont(fonts::font(fonts::kSimSun, 10.5));
    m_doc->setHtml(html(page, day));
    const double dpmm = device->logicalDpiX() / 25.4;
    m_doc->setPageSize(QSizeF(kContentW * dpmm, (kBodyBottom - kMargin) * dpmm));
}

int PlanDocument::pageCount() const
{
    return m_doc->pageCount();
}

void PlanDocument::draw(Canvas &canvas) const
{
    canvas.setFooter(
        QStringLiteral("问卷各月的项目；国家卫生健康委《儿童心理行为发育问题预警征象》和0～6岁儿童健康管理服务规范"),
        QStringLiteral("本页是陪孩子玩的建议和何时咨询医生的提示，不作诊断；对孩子的发育有疑问请咨询儿保医生。"));
    QPainter &p = canvas.painter();
    const QSizeF page = m_doc->pageSize();
    for (int i = 0; i < pageCount(); ++i) {
        canvas.nextPage();
        p.save();
        p.translate(canvas.mm(kMargin), canvas.mm(kMargin) - i * page.height());
        m_doc->drawContents(&p, QRectF(0, i * page.height(), page.width(), page.height()));
        p.restore();
    }
}

bool write(QIODevice *device, const QList<nextmonth::Page> &pages, const QDate &day)
{
    fonts::installSubstitutions();
    QPdfWriter pdf(device);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    pdf.setResolution(kResolution);
    pdf.setTitle(QStringLiteral("下月陪玩建议"));
    pdf.setCreator(appinfo::kTitle);
    std::vector<PlanDocument> docs;
    int count = 0;
    for (const nextmonth::Page &page : pages) {
        docs.emplace_back(page, day, &pdf);
        count += docs.back().pageCount();
    }
    Canvas canvas(pdf, count);
    if (!canvas.begin())
        return false;
    canvas.painter().setRenderHint(QPainter::Antialiasing);
    for (const PlanDocument &doc : docs)
        doc.draw(canvas);
    canvas.end();
    return true;
}

} // namespace planpdf
