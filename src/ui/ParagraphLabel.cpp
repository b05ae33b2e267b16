#include "ParagraphLabel.h"

#include <QFontMetrics>
#include <QPainter>
#include <QTextBoundaryFinder>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace paragraphs {

namespace {

constexpr double kLineHeight = 1.2;

// Lays the paragraph out and returns where each line starts. A line may be
// given its number of characters; 0, or no number, fills it to the width.
QList<int> layOut(QTextLayout &layout, int width, const QList<int> &columns, qreal top, int pitch)
{
    QList<int> starts;
    layout.beginLayout();
    for (qsizetype i = 0;; ++i) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        if (i < columns.size() && columns.at(i) > 0)
            line.setNumColumns(columns.at(i), width);
        else
            line.setLineWidth(width);
        line.setPosition(QPointF(0, top + i * pitch));
        starts.append(line.textStart());
    }
    layout.endLayout();
    return starts;
}

int lettersIn(QStringView text)
{
    return int(std::count_if(text.begin(), text.end(), [](QChar c) { return c.isLetterOrNumber(); }));
}

} // namespace

int pitch(const QFont &font)
{
    const QFontMetrics metrics(font);
    return std::max(metrics.lineSpacing(), int(std::ceil(kLineHeight * metrics.height())));
}

Layout::Layout() = default;
Layout::Layout(Layout &&) noexcept = default;
Layout &Layout::operator=(Layout &&) noexcept = default;
Layout::~Layout() = default;

QStringList Layout::lines() const
{
    QStringList all;
    for (const auto &paragraph : m_paragraphs) {
        for (int i = 0; i < paragraph->lineCount(); ++i) {
            const QTextLine line = paragraph->lineAt(i);
            all.append(paragraph->text().mid(line.textStart(), line.textLength()));
        }
    }
    return all;
}

QList<qreal> Layout::tops() const
{
    QList<qreal> all;
    for (const auto &paragraph : m_paragraphs) {
        for (int i = 0; i < paragraph->lineCount(); ++i)
            all.append(paragraph->lineAt(i).y());
    }
    return all;
}

void Layout::draw(QPainter *painter, const QPointF &origin) const
{
    for (const auto &paragraph : m_paragraphs)
        paragraph->draw(painter, origin);
}

Layout typeset(const QString &text, const QFont &font, int width)
{
    Layout result;
    const int step = pitch(font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    int lines = 0;
    for (const QString &paragraph : text.split(QLatin1Char('\n'))) {
        auto layout = std::make_unique<QTextLayout>(paragraph, font);
        layout->setTextOption(option);
        const qreal top = lines * step;
        const QList<int> starts = layOut(*layout, width, {}, top, step);
        const qsizetype n = starts.size();
        // A last line with a single character: the line above ends one
        // break earlier, where the line-breaking rules allow, as long as it
        // keeps more than it gives and the paragraph keeps its line count.
        if (n >= 2 && lettersIn(QStringView(paragraph).mid(starts.at(n - 1))) == 1) {
            QTextBoundaryFinder breaks(QTextBoundaryFinder::Line, paragraph);
            breaks.setPosition(starts.at(n - 1));
            const qsizetype earlier = breaks.toPreviousBoundary();
            if (earlier > starts.at(n - 2)
                && lettersIn(QStringView(paragraph).mid(starts.at(n - 2), earlier - starts.at(n - 2))) >= 2) {
                QList<int> columns(n - 1, 0);
                columns.last() = int(earlier - starts.at(n - 2));
                if (layOut(*layout, width, columns, top, step).size() != n)
                    layOut(*layout, width, {}, top, step);
            }
        }
        lines += layout->lineCount();
        result.m_paragraphs.push_back(std::move(layout));
    }
    result.m_height = lines == 0 ? 0 : (lines - 1) * step + QFontMetrics(font).height();
    return result;
}

} // namespace paragraphs

ParagraphLabel::ParagraphLabel(const QString &text, QWidget *parent)
    : QLabel(text, parent)
{
    setWordWrap(true);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

QSize ParagraphLabel::minimumSizeHint() const
{
    const QMargins margins = contentsMargins();
    const QFontMetrics metrics(font());
    int widest = 0;
    for (const QString &paragraph : text().split(QLatin1Char('\n')))
        widest = std::max(widest, metrics.horizontalAdvance(paragraph));
    if (m_preferredWidth > 0)
        widest = std::min(widest, m_preferredWidth);
    const int width = widest + margins.left() + margins.right();
    return {width, heightForWidth(width)};
}

QSize ParagraphLabel::sizeHint() const
{
    return minimumSizeHint();
}

int ParagraphLabel::heightForWidth(int width) const
{
    const QMargins margins = contentsMargins();
    return paragraphs::typeset(text(), font(), width - margins.left() - margins.right()).height() + margins.top()
        + margins.bottom();
}

void ParagraphLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    drawFrame(&painter);
    painter.setPen(palette().color(foregroundRole()));
    const QRect area = contentsRect();
    paragraphs::typeset(text(), font(), area.width()).draw(&painter, area.topLeft());
}
