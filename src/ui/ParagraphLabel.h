#pragma once

#include <QLabel>
#include <QList>

#include <memory>
#include <vector>

class QTextLayout;

// Wrapped Chinese text set for reading: its lines stand 1.2 times the font's
// height apart (the CJK fonts' own spacing lets a second row touch the
// first), and a paragraph never ends on a line that holds one character and
// its punctuation while the line above can give it another. Paragraphs are
// the text's lines.
namespace paragraphs {

// The distance from one line's top to the next.
int pitch(const QFont &font);

class Layout {
public:
    Layout();
    Layout(Layout &&) noexcept;
    Layout &operator=(Layout &&) noexcept;
    ~Layout();

    // Every line as laid out, and its top.
    QStringList lines() const;
    QList<qreal> tops() const;
    int height() const { return m_height; }
    void draw(QPainter *painter, const QPointF &origin) const;

private:
    friend Layout typeset(const QString &text, const QFont &font, int width);
    std::vector<std::unique_ptr<QTextLayout>> m_paragraphs;
    int m_height = 0;
};

Layout typeset(const QString &text, const QFont &font, int width);

} // namespace paragraphs

// A label that shows its text so. Its text() is the text as given.
class ParagraphLabel : public QLabel {
public:
    explicit ParagraphLabel(const QString &text = {}, QWidget *parent = nullptr);

    // The widest the label makes itself when a layout lets it choose, as a
    // message box does; 0: as wide as its longest paragraph.
    void setPreferredWidth(int width) { m_preferredWidth = width; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int m_preferredWidth = 0;
};
