// Checks the questionnaire content (content/items-*.tsv) as a whole: every
// month age is complete and scored to 16 points per domain, the texts are clean,
// said once and fit the boxes of the questionnaire window, every source tag is
// explained in content/README.md, the writing rules listed there hold (hedged
// emerging items, one domain per skill, numbers as figures), and the installed
// database holds exactly these rows.

#include "core/assessment/Scoring.h"
#include "core/data/AssessmentDb.h"
#include "core/data/ContentFile.h"
#include "core/data/Dao.h"
#include "core/data/Schema.h"
#include "ui/Fonts.h"
#include "ui/ParagraphLabel.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontInfo>
#include <QFontMetrics>
#include <QHash>
#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <exception>
#include <iterator>
#include <utility>

namespace {

constexpr int kFirstMonth = 1;
constexpr int kLastMonth = 36;
constexpr int kMinItems = 10;
constexpr int kMaxItems = 15;
constexpr int kMinItemsPerDomain = 2;
constexpr double kPointsPerDomain = 16;

const QRegularExpression kWholeNumber(QStringLiteral("^[1-9][0-9]*$"));
const QString kHeader = QStringLiteral("age\tclas\tfen\titem\thowto\tdisp\topt1\topt2\topt3\topt4\tsource\tskill");

// The text boxes of the questionnaire window (width and height in pixels).
struct Box {
    const char *field;
    int width;
    int height;
};
constexpr Box kItemBox {"item", 345, 57};
constexpr Box kHowtoBox {"howto", 337, 73};
constexpr Box kDispBox {"disp", 345, 81};

// The widths of the answer buttons an item may caption (the captions of the
// ratings stand on them when the item has none of its own).
constexpr int kOptionWidths[content::kOptionCount] = {81, 57, 65, 97};

QString where(const content::Item &item)
{
    return QStringLiteral("%1:%2").arg(QFileInfo(item.file).fileName()).arg(item.line);
}

// Fails the current test with every problem found, one per line.
void failWith(const QStringList &problems, const char *file, int line)
{
    if (problems.isEmpty())
        return;
    const QString report
        = QStringLiteral("%1 problem(s):\n  ").arg(problems.size()) + problems.join(QStringLiteral("\n  "));
    QTest::qFail(report.toUtf8().constData(), file, line);
}
#define REPORT(problems)                                                                                               \
    do {                                                                                                               \
        failWith(problems, __FILE__, __LINE__);                                                                        \
        if (!(problems).isEmpty())                                                                                     \
            return;                                                                                                    \
    } while (false)

// The checks below need the content; a file that cannot be read is reported
// once, by filesAreWellFormed().
#define REQUIRE_CONTENT()                                                                                              \
    do {                                                                                                               \
        if (!m_readError.isEmpty())                                                                                    \
            QSKIP("the content files could not be read");                                                              \
        QVERIFY2(!m_items.isEmpty(), "no questionnaire items");                                                        \
    } while (false)

bool hasOuterBlank(const QString &text)
{
    return !text.isEmpty() && (text.front().isSpace() || text.back().isSpace());
}

bool hasBreakOrTab(const QString &text)
{
    for (const QChar c : text) {
        if (c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QChar::LineSeparator
            || c == QChar::ParagraphSeparator)
            return true;
    }
    return false;
}

// The lists content/README.md gives for the writing rules.
struct Lists {
    QStringList hedges;
    QList<std::pair<QString, QString>> skillWords; // word, domain
    QHash<QString, QString> skillKeys; // word in the title, key of the skill
    QStringList numberWords;
    QHash<QString, double> warningAges; // Y<n>, the month from which it stands for the skill
    QHash<QString, double> motorMeans; // skill key, WHO mean age of the milestone
    QStringList fromBirth;
    QStringList careTags;
    QStringList bodyAmounts;
    QStringList hazards;
    QStringList safeguards;
    QStringList obedience;
    QStringList referrals;
    QStringList thresholds;
    QStringList judging;
    QStringList visitMonths;
};

QStringList backticked(const QString &text)
{
    static const QRegularExpression quoted(QStringLiteral("`([^`]+)`"));
    QStringList words;
    for (const auto &match : quoted.globalMatch(text))
        words << match.captured(1);
    return words;
}

// Entries written `name=number`.
QHash<QString, double> numbered(const QStringList &entries)
{
    QHash<QString, double> values;
    for (const QString &entry : entries)
        values.insert(entry.section(QLatin1Char('='), 0, 0), entry.section(QLatin1Char('='), 1).toDouble());
    return values;
}

Lists readLists(const QString &readme)
{
    QFile f(readme);
    Lists lists;
    if (!f.open(QIODevice::ReadOnly))
        return lists;
    const std::pair<const char *, QStringList *> plain[] {{"Hedges:", &lists.hedges},
        {"Number words:", &lists.numberWords}, {"Present from birth:", &lists.fromBirth},
        {"Care tags:", &lists.careTags}, {"Body amounts:", &lists.bodyAmounts}, {"Hazards:", &lists.hazards},
        {"Safeguards:", &lists.safeguards}, {"Obedience:", &lists.obedience}, {"Referrals:", &lists.referrals},
        {"Thresholds:", &lists.thresholds}, {"Judging words:", &lists.judging}, {"Visit months:", &lists.visitMonths}};
    for (const QString &raw : QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'))) {
        const QString line = raw.trimmed();
        for (const auto &[label, list] : plain) {
            if (line.startsWith(QLatin1String(label)))
                *list = backticked(line);
        }
        if (line.startsWith(QLatin1String("Warning-sign ages:")))
            lists.warningAges = numbered(backticked(line));
        else if (line.startsWith(QLatin1String("WHO motor means:")))
            lists.motorMeans = numbered(backticked(line));
        else if (line.startsWith(QLatin1Char('|'))) {
            const QStringList domain = backticked(line.section(QLatin1Char('|'), 3, 3));
            const QStringList key = backticked(line.section(QLatin1Char('|'), 4, 4));
            if (domain.size() == 1 && content::kDomains.contains(domain.first())) {
                for (const QString &word : backticked(line.section(QLatin1Char('|'), 2, 2))) {
                    lists.skillWords.append({word, domain.first()});
                    if (key.size() == 1)
                        lists.skillKeys.insert(word, key.first());
                }
            }
        }
    }
    return lists;
}

bool hedged(const content::Item &item, const Lists &lists)
{
    return std::any_of(
        lists.hedges.cbegin(), lists.hedges.cend(), [&](const QString &hedge) { return item.disp.contains(hedge); });
}

// The sentences of a text; a list entry written `a…b` holds when a and then b
// stand in one sentence.
QStringList sentences(const QString &text)
{
    static const QRegularExpression end(QStringLiteral("[。；！？]"));
    return text.split(end, Qt::SkipEmptyParts);
}

bool holds(const QString &sentence, const QString &entry)
{
    qsizetype from = 0;
    for (const QString &part : entry.split(QStringLiteral("…"), Qt::SkipEmptyParts)) {
        from = sentence.indexOf(part, from);
        if (from < 0)
            return false;
        from += part.size();
    }
    return true;
}

// The first entry of the list that the text holds, or an empty string.
QString firstHeld(const QString &text, const QStringList &entries)
{
    for (const QString &sentence : sentences(text)) {
        for (const QString &entry : entries) {
            if (holds(sentence, entry))
                return entry;
        }
    }
    return {};
}

QString allTexts(const content::Item &item)
{
    return item.item + QStringLiteral("。") + item.howto.value_or(QString()) + QStringLiteral("。") + item.disp;
}

// An emerging item says in its goal that a first try or a partial success is asked.
QStringList unhedgedEmergingItems(const QList<content::Item> &items, const Lists &lists)
{
    QStringList problems;
    for (const content::Item &item : items) {
        if (item.source.contains(QStringLiteral("↑")) && !hedged(item, lists))
            problems << QStringLiteral("%1: emerging (%2) but its goal holds no hedge of content/README.md")
                            .arg(where(item), item.source);
    }
    return problems;
}

// The items of one skill key come in later months, in one domain, and once one
// asks the whole skill no later one asks only a first try. A title naming a
// listed skill carries its key, and a key names at least two items.
QStringList skillSequencesFall(const QList<content::Item> &items, const Lists &lists)
{
    QStringList problems;
    QHash<QString, const content::Item *> last;
    QHash<QString, const content::Item *> wholeSkill;
    QHash<QString, int> uses;
    for (const content::Item &item : items) {
        for (auto it = lists.skillKeys.cbegin(); it != lists.skillKeys.cend(); ++it) {
            if (item.item.contains(it.key()) && item.skill != it.value())
                problems << QStringLiteral("%1: title names \"%2\", the skill %3, but its key is \"%4\"")
                                .arg(where(item), it.key(), it.value(), item.skill);
        }
        if (item.skill.isEmpty())
            continue;
        ++uses[item.skill];
        if (const content::Item *before = last.value(item.skill)) {
            if (item.age <= before->age)
                problems << QStringLiteral("%1: %2 at month %3 does not come after month %4 (%5)")
                                .arg(where(item), item.skill)
                                .arg(item.age)
                                .arg(before->age)
                                .arg(where(*before));
            if (item.clas != before->clas)
                problems << QStringLiteral("%1: %2 stands in %3 here but in %4 at %5")
                                .arg(where(item), item.skill, item.clas, before->clas, where(*before));
        }
        if (const content::Item *whole = wholeSkill.value(item.skill); whole && hedged(item, lists))
            problems << QStringLiteral("%1: %2 asks only a first try after %3 (month %4) asked the whole skill")
                            .arg(where(item), item.skill, where(*whole))
                            .arg(whole->age);
        if (!hedged(item, lists) && !wholeSkill.contains(item.skill))
            wholeSkill.insert(item.skill, &item);
        last.insert(item.skill, &item);
    }
    for (auto it = uses.cbegin(); it != uses.cend(); ++it) {
        if (it.value() == 1)
            problems
                << QStringLiteral("%1: the key %2 names no other item").arg(where(*last.value(it.key())), it.key());
    }
    return problems;
}

// The month a tag places the item's skill at, if it places it at all.
std::optional<double> placedAt(const QString &tag, const content::Item &item, const Lists &lists)
{
    static const QRegularExpression checkpoint(QStringLiteral("^C([0-9]+)$"));
    if (const auto match = checkpoint.match(tag); match.hasMatch())
        return match.captured(1).toDouble();
    if (lists.warningAges.contains(tag))
        return lists.warningAges.value(tag);
    if (tag == QLatin1String("W") && lists.motorMeans.contains(item.skill))
        return lists.motorMeans.value(item.skill);
    if (lists.fromBirth.contains(tag))
        return 0;
    if (lists.careTags.contains(tag) && item.clas == content::kDomains.first())
        return item.age;
    return std::nullopt;
}

// An item asking the whole skill rests on a source that places the skill at or
// before its month; the others ask for a first try.
QStringList unhedgedBeforeTheirAge(const QList<content::Item> &items, const Lists &lists)
{
    QStringList problems;
    for (const content::Item &item : items) {
        if (hedged(item, lists))
            continue;
        const QStringList tags = item.source.split(QLatin1Char(','));
        const bool placed = std::any_of(tags.cbegin(), tags.cend(), [&](const QString &tag) {
            const auto at = placedAt(tag, item, lists);
            return at && *at <= item.age;
        });
        if (!placed)
            problems << QStringLiteral("%1: month %2 asks the whole skill, but no tag of %3 places it by then")
                            .arg(where(item))
                            .arg(item.age)
                            .arg(item.source);
    }
    return problems;
}

// A body item's goal rates what the child does or the family keeps, never an
// amount or event that differs between healthy children.
QStringList bodyAmountsAsGoals(const QList<content::Item> &items, const Lists &lists)
{
    QStringList problems;
    for (const content::Item &item : items) {
        if (item.clas != content::kDomains.first())
            continue;
        if (const QString amount = firstHeld(item.disp, lists.bodyAmounts); !amount.isEmpty())
            problems << QStringLiteral("%1: the goal rates a body amount (%2): %3").arg(where(item), amount, item.disp);
    }
    return problems;
}

// An item naming a hazard says what the adult secures, and its goal never
// makes the child's obedience the protection.
QStringList hazardsWithoutSafeguard(const QList<content::Item> &items, const Lists &lists)
{
    QStringList problems;
    for (const content::Item &item : items) {
        const QString hazard = firstHeld(allTexts(item), lists.hazards);
        if (hazard.isEmpty())
            continue;
        if (firstHeld(item.howto.value_or(QString()), lists.safeguards).isEmpty())
            problems << QStringLiteral("%1: names %2 but its instructions name no safeguard").arg(where(item), hazard);
        if (const QString obeys = firstHeld(item.disp, lists.obedience); !obeys.isEmpty())
            problems
                << QStringLiteral("%1: names %2 and its goal rests on obedience (%3)").arg(where(item), hazard, obeys);
    }
    return problems;
}

// A sentence sending the parent to a doctor names the age or the sign at which
// that is advised.
QStringList referralsWithoutThreshold(const QList<content::Item> &items, const Lists &lists)
{
    static const QRegularExpression age(QStringLiteral("[0-9]+ *(个月|月龄|岁)|周岁|满月"));
    QStringList problems;
    for (const content::Item &item : items) {
        for (const QString &sentence : sentences(allTexts(item))) {
            const QString referral = firstHeld(sentence, lists.referrals);
            if (!referral.isEmpty() && !age.match(sentence).hasMatch()
                && firstHeld(sentence, lists.thresholds).isEmpty())
                problems
                    << QStringLiteral("%1: \"%2\" without an age or a sign: %3").arg(where(item), referral, sentence);
        }
    }
    return problems;
}

// A skill named in a title is scored in the skill's one domain.
QStringList skillsOutsideTheirDomain(const QList<content::Item> &items, const Lists &lists)
{
    QStringList problems;
    for (const content::Item &item : items) {
        for (const auto &[word, domain] : lists.skillWords) {
            if (item.item.contains(word) && item.clas != domain)
                problems << QStringLiteral("%1: title names \"%2\", a skill of %3, but stands in %4")
                                .arg(where(item), word, domain, item.clas);
        }
    }
    return problems;
}

// Numbers from 3 up are figures; words stay for 一 and 两, approximations
// (两三, 十来, 几十), ordinals and the set words of content/README.md.
QStringList numbersWrittenAsWords(const QList<content::Item> &items, const Lists &lists)
{
    // 一 and 两 alone, and two neighbours as an approximation (一两, 两三 … 八九).
    static const QStringList kept = QStringLiteral("一 二 两 一两 两三 三四 四五 五六 六七 七八 八九").split(u' ');
    static const QRegularExpression run(QStringLiteral("[〇零一二两三四五六七八九十]+"));
    QStringList problems;
    for (const content::Item &item : items) {
        for (const QString &text : {item.item, item.howto.value_or(QString()), item.disp}) {
            for (const auto &match : run.globalMatch(text)) {
                const QString number = match.captured();
                const qsizetype at = match.capturedStart();
                const QChar before = at > 0 ? text.at(at - 1) : QChar();
                const QChar after = match.capturedEnd() < text.size() ? text.at(match.capturedEnd()) : QChar();
                const bool approximate = before == QChar(u'几') || after == QChar(u'来') || after == QChar(u'几');
                const bool setWord = std::any_of(lists.numberWords.cbegin(), lists.numberWords.cend(),
                    [&](const QString &word) { return text.mid(at, word.size()) == word; });
                if (!(kept.contains(number) || approximate || before == QChar(u'第') || setWord))
                    problems << QStringLiteral("%1: \"%2\" written in words: %3").arg(where(item), number, text);
            }
        }
    }
    return problems;
}

// The legend is the table under "## Source tags" in content/README.md; its
// first column names each row's tags between backticks.
QSet<QString> legendTags(const QString &readme)
{
    QFile f(readme);
    QSet<QString> defined;
    if (!f.open(QIODevice::ReadOnly))
        return defined;
    bool inLegend = false;
    for (const QString &line : QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("#")))
            inLegend = line.trimmed() == QLatin1String("## Source tags");
        else if (inLegend && line.startsWith(QLatin1Char('|'))) {
            for (const QString &tag : backticked(line.section(QLatin1Char('|'), 1, 1)))
                defined.insert(tag);
        }
    }
    return defined;
}

using Rule = QStringList (*)(const QList<content::Item> &, const Lists &);
struct WritingRule {
    const char *name;
    Rule check;
    const char *refusedExample; // under tests/content/refused/
};
const WritingRule kWritingRules[] {
    {"emerging items hedge", unhedgedEmergingItems, "unhedged-emerging.tsv"},
    {"one domain per skill", skillsOutsideTheirDomain, "skill-in-two-domains.tsv"},
    {"numbers as figures", numbersWrittenAsWords, "number-in-words.tsv"},
    {"one skill, one sequence", skillSequencesFall, "backward-sequence.tsv"},
    {"whole skills by their checkpoint", unhedgedBeforeTheirAge, "whole-skill-too-early.tsv"},
    {"care, not body amounts", bodyAmountsAsGoals, "body-amount.tsv"},
    {"safeguards, not obedience", hazardsWithoutSafeguard, "hazard-without-safeguard.tsv"},
    {"referrals with a threshold", referralsWithoutThreshold, "referral-without-threshold.tsv"},
};

} // namespace

class ContentTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void filesAreWellFormed();
    void monthAgeIsComplete_data();
    void monthAgeIsComplete();
    void fieldsHoldValidValues();
    void textsAreUnique();
    void sourceTagsAreDefined();
    void textsAreClean();
    void textsFitTheirBoxes_data();
    void textsFitTheirBoxes();
    void captionsFitTheirButtons();
    void writingRulesHold_data();
    void writingRulesHold();
    void warningSignsAreComplete();
    void installedDatabaseHoldsTheContent();

private:
    QString m_contentDir = QStringLiteral(CG_SOURCE_DIR "/content");
    QList<content::Item> m_items;
    QString m_readError;
    QFont m_font;
};

void ContentTest::initTestCase()
{
    fonts::installSubstitutions();
    m_font = fonts::font(fonts::kSimSun, fonts::kWindowPointSize);
    // Without a Chinese face behind 宋体 every measurement below is meaningless.
    QVERIFY2(QFontMetrics(m_font).inFont(QChar(0x4E2D)),
        qPrintable(
            QStringLiteral("no Chinese font stands in for SimSun (resolved to %1)").arg(QFontInfo(m_font).family())));
    try {
        m_items = content::readDirectory(m_contentDir);
    } catch (const std::exception &e) {
        m_readError = QString::fromUtf8(e.what());
    }
}

void ContentTest::filesAreWellFormed()
{
    QVERIFY2(m_readError.isEmpty(), m_readError.toUtf8().constData());
    const QStringList files = QDir(m_contentDir).entryList({QStringLiteral("items-*.tsv")}, QDir::Files, QDir::Name);
    QVERIFY2(!files.isEmpty(), "no content files");
    QStringList problems;
    for (const QString &name : files) {
        QFile f(QDir(m_contentDir).filePath(name));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray data = f.readAll();
        const QString text = QString::fromUtf8(data);
        if (text.toUtf8() != data)
            problems << QStringLiteral("%1: not valid UTF-8").arg(name);
        const QString header = text.section(QLatin1Char('\n'), 0, 0);
        if (header != kHeader)
            problems << QStringLiteral("%1: header is \"%2\"").arg(name, header);
        if (text.contains(QLatin1Char('\r')))
            problems << QStringLiteral("%1: carriage returns (Windows line ends)").arg(name);
        if (!text.endsWith(QLatin1Char('\n')))
            problems << QStringLiteral("%1: last line has no line end").arg(name);
        const QStringList lines = text.split(QLatin1Char('\n'));
        for (int i = 1; i + 1 < lines.size(); ++i) {
            if (lines.at(i).trimmed().isEmpty()) {
                problems << QStringLiteral("%1:%2: empty line").arg(name).arg(i + 1);
                continue;
            }
            // Month age and points are written as plain whole numbers.
            const QStringList fields = lines.at(i).split(QLatin1Char('\t'));
            for (const int column : {0, 2}) {
                if (!kWholeNumber.match(fields.value(column)).hasMatch())
                    problems << QStringLiteral("%1:%2: %3 \"%4\" is not a plain whole number")
                                    .arg(name)
                                    .arg(i + 1)
                                    .arg(kHeader.section(QLatin1Char('\t'), column, column), fields.value(column));
            }
        }
    }
    REPORT(problems);
}

void ContentTest::monthAgeIsComplete_data()
{
    QTest::addColumn<int>("month");
    for (int m = kFirstMonth; m <= kLastMonth; ++m)
        QTest::addRow("month %d", m) << m;
}

void ContentTest::monthAgeIsComplete()
{
    QFETCH(int, month);
    REQUIRE_CONTENT();
    QList<content::Item> items;
    for (const content::Item &item : std::as_const(m_items)) {
        if (item.age == month)
            items << item;
    }
    QVERIFY2(!items.isEmpty(), "no items for this month age");
    QStringList problems;
    if (items.size() < kMinItems || items.size() > kMaxItems)
        problems << QStringLiteral("%1 items (needs %2 to %3)").arg(items.size()).arg(kMinItems).arg(kMaxItems);
    for (const QString &domain : content::kDomains) {
        int count = 0;
        double points = 0;
        for (const content::Item &item : std::as_const(items)) {
            if (item.clas == domain) {
                ++count;
                points += item.fen;
            }
        }
        if (count < kMinItemsPerDomain)
            problems
                << QStringLiteral("%1: %2 item(s) (needs at least %3)").arg(domain).arg(count).arg(kMinItemsPerDomain);
        if (points != kPointsPerDomain)
            problems
                << QStringLiteral("%1: points add up to %2 (must be %3)").arg(domain).arg(points).arg(kPointsPerDomain);
    }
    REPORT(problems);
}

void ContentTest::fieldsHoldValidValues()
{
    REQUIRE_CONTENT();
    QStringList problems;
    for (const content::Item &item : std::as_const(m_items)) {
        if (item.age < kFirstMonth || item.age > kLastMonth)
            problems << QStringLiteral("%1: month age %2 outside %3 to %4")
                            .arg(where(item))
                            .arg(item.age)
                            .arg(kFirstMonth)
                            .arg(kLastMonth);
        if (!content::kDomains.contains(item.clas))
            problems << QStringLiteral("%1: unknown domain \"%2\"").arg(where(item), item.clas);
        if (item.fen <= 0 || item.fen != std::floor(item.fen))
            problems << QStringLiteral("%1: points %2 are not a positive whole number").arg(where(item)).arg(item.fen);
        if (item.item.isEmpty())
            problems << QStringLiteral("%1: empty title").arg(where(item));
        if (item.disp.isEmpty())
            problems << QStringLiteral("%1: empty goal (disp)").arg(where(item));
        if (item.source.isEmpty())
            problems << QStringLiteral("%1: no source").arg(where(item));
    }
    REPORT(problems);
}

void ContentTest::textsAreUnique()
{
    REQUIRE_CONTENT();
    // Every title, instruction and goal is said once in the whole
    // questionnaire, in whichever of the three fields it stands.
    struct Use {
        content::Item item;
        const char *field;
    };
    QHash<QString, Use> first;
    QStringList problems;
    for (const content::Item &item : std::as_const(m_items)) {
        const std::pair<const char *, QString> texts[]
            = {{"item", item.item}, {"howto", item.howto.value_or(QString())}, {"disp", item.disp}};
        for (const auto &[field, text] : texts) {
            if (text.isEmpty())
                continue;
            const auto it = first.constFind(text);
            if (it == first.cend()) {
                first.insert(text, {item, field});
                continue;
            }
            problems << QStringLiteral("%1 (month %2): %3 repeats the %4 of %5 (month %6): %7")
                            .arg(where(item))
                            .arg(item.age)
                            .arg(QLatin1String(field), QLatin1String(it->field), where(it->item))
                            .arg(it->item.age)
                            .arg(text);
        }
    }
    REPORT(problems);
}

void ContentTest::sourceTagsAreDefined()
{
    REQUIRE_CONTENT();
    const QSet<QString> defined = legendTags(m_contentDir + QStringLiteral("/README.md"));
    QVERIFY2(!defined.isEmpty(), "content/README.md has no table of source tags");

    QStringList problems;
    for (const content::Item &item : std::as_const(m_items)) {
        for (const QString &tag : item.source.split(QLatin1Char(','))) {
            if (!defined.contains(tag))
                problems << QStringLiteral("%1: source tag \"%2\" is not in the legend of content/README.md")
                                .arg(where(item), tag);
        }
    }
    REPORT(problems);
}

void ContentTest::textsAreClean()
{
    REQUIRE_CONTENT();
    QStringList problems;
    for (const content::Item &item : std::as_const(m_items)) {
        QList<std::pair<QString, QString>> texts {{schema::test::kClass, item.clas}, {schema::test::kItem, item.item},
            {schema::test::kGoal, item.disp}, {QStringLiteral("source"), item.source},
            {QStringLiteral("skill"), item.skill}};
        if (item.howto)
            texts.append({schema::test::kHowTo, *item.howto});
        for (int o = 0; o < content::kOptionCount; ++o) {
            if (const auto &opt = item.opt[static_cast<size_t>(o)])
                texts.append({QStringLiteral("opt%1").arg(o + 1), *opt});
        }
        for (const auto &[field, text] : texts) {
            if (hasBreakOrTab(text))
                problems << QStringLiteral("%1: %2 holds a tab or a line break").arg(where(item), field);
            if (hasOuterBlank(text))
                problems << QStringLiteral("%1: %2 begins or ends with a blank").arg(where(item), field);
        }
    }
    REPORT(problems);
}

void ContentTest::textsFitTheirBoxes_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    for (const Box &box : {kItemBox, kHowtoBox, kDispBox})
        QTest::newRow(box.field) << QString::fromLatin1(box.field) << box.width << box.height;
}

void ContentTest::textsFitTheirBoxes()
{
    QFETCH(QString, field);
    QFETCH(int, width);
    QFETCH(int, height);
    REQUIRE_CONTENT();
    QStringList problems;
    for (const content::Item &item : std::as_const(m_items)) {
        QString text;
        if (field == QLatin1String("item"))
            text = item.item;
        else if (field == QLatin1String("howto"))
            text = item.howto.value_or(QString());
        else
            text = item.disp;
        // Set as the questionnaire sets it: wrapped, lines spaced for reading.
        const int needed = paragraphs::typeset(text, m_font, width).height();
        if (needed > height)
            problems
                << QStringLiteral("%1: needs %2 px of %3 px: %4").arg(where(item)).arg(needed).arg(height).arg(text);
    }
    REPORT(problems);
}

void ContentTest::captionsFitTheirButtons()
{
    REQUIRE_CONTENT();
    const QStyle *style = QApplication::style();
    const int indicator = style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth)
        + style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing);
    const QFontMetrics metrics(m_font);
    QStringList problems;
    // The default captions stand in for every empty option, so they must fit too.
    for (int o = 0; o < content::kOptionCount; ++o) {
        const int room = kOptionWidths[o] - indicator;
        const QString &caption = scoring::kRatingCaptions.at(static_cast<std::size_t>(o));
        if (metrics.horizontalAdvance(caption) > room)
            problems
                << QStringLiteral("default caption %1 \"%2\" is wider than %3 px").arg(o + 1).arg(caption).arg(room);
    }
    for (const content::Item &item : std::as_const(m_items)) {
        for (int o = 0; o < content::kOptionCount; ++o) {
            const auto &caption = item.opt[static_cast<size_t>(o)];
            if (!caption)
                continue;
            const int room = kOptionWidths[o] - indicator;
            const int needed = metrics.horizontalAdvance(*caption);
            if (needed > room || hasBreakOrTab(*caption))
                problems << QStringLiteral("%1: opt%2 \"%3\" needs %4 px of %5 px on one line")
                                .arg(where(item))
                                .arg(o + 1)
                                .arg(*caption)
                                .arg(needed)
                                .arg(room);
        }
    }
    REPORT(problems);
}

void ContentTest::writingRulesHold_data()
{
    QTest::addColumn<int>("rule");
    for (int r = 0; r < int(std::size(kWritingRules)); ++r)
        QTest::newRow(kWritingRules[r].name) << r;
}

// Each rule passes the content and refuses the one bad row (line 3) of a
// small file, while the good row beside it (line 2) passes.
void ContentTest::writingRulesHold()
{
    QFETCH(int, rule);
    REQUIRE_CONTENT();
    const WritingRule &checked = kWritingRules[rule];
    const Lists lists = readLists(m_contentDir + QStringLiteral("/README.md"));
    for (const auto *list : {&lists.hedges, &lists.numberWords, &lists.bodyAmounts, &lists.hazards, &lists.safeguards,
             &lists.obedience, &lists.referrals, &lists.thresholds, &lists.careTags})
        QVERIFY2(!list->isEmpty(), "a list of content/README.md is missing");
    QVERIFY2(!lists.skillWords.isEmpty() && !lists.skillKeys.isEmpty() && !lists.warningAges.isEmpty()
            && !lists.motorMeans.isEmpty(),
        "content/README.md has no skill table, warning-sign ages or WHO motor means");
    const QStringList problems = checked.check(m_items, lists);
    REPORT(problems);

    const QString example
        = QStringLiteral(CG_SOURCE_DIR "/tests/content/refused/") + QLatin1String(checked.refusedExample);
    const QStringList refused = checked.check(content::readItems(example), lists);
    QCOMPARE(refused.size(), 1);
    QVERIFY2(
        refused.first().startsWith(QFileInfo(example).fileName() + QStringLiteral(":3:")), qPrintable(refused.first()));
}

// The signs to ask the doctor about, for every checkpoint of the warning-sign
// table and at any age, and one routine visit for each month of the schedule;
// tagged from the legend, written as the items are, and never judging.
void ContentTest::warningSignsAreComplete()
{
    QList<content::Sign> signs;
    try {
        signs = content::readSigns(m_contentDir + QLatin1Char('/') + content::kSignsFile);
    } catch (const std::exception &e) {
        QFAIL(e.what());
    }
    const Lists lists = readLists(m_contentDir + QStringLiteral("/README.md"));
    const QSet<QString> defined = legendTags(m_contentDir + QStringLiteral("/README.md"));
    QVERIFY2(
        !lists.judging.isEmpty() && !lists.visitMonths.isEmpty(), "content/README.md lists no judging words or visits");
    QMap<int, int> signsAt; // age, signs
    QStringList visits;
    QList<content::Item> texts; // for the writing rules of the items
    QStringList problems;
    for (const content::Sign &sign : std::as_const(signs)) {
        const QString at = QStringLiteral("%1:%2").arg(QFileInfo(sign.file).fileName()).arg(sign.line);
        if (sign.kind == content::Sign::Kind::Visit)
            visits << QString::number(sign.age);
        else if (sign.age == 0 || lists.warningAges.contains(QStringLiteral("Y%1").arg(sign.age)))
            ++signsAt[sign.age];
        else
            problems
                << QStringLiteral("%1: %2 months is no checkpoint of the warning-sign table").arg(at).arg(sign.age);
        for (const QString &tag : sign.source.split(QLatin1Char(','))) {
            if (!defined.contains(tag))
                problems << QStringLiteral("%1: source tag \"%2\" is not in the legend").arg(at, tag);
        }
        if (const QString word = firstHeld(sign.text, lists.judging); !word.isEmpty())
            problems << QStringLiteral("%1: \"%2\" judges the child: %3").arg(at, word, sign.text);
        if (hasOuterBlank(sign.text) || sign.text.isEmpty())
            problems << QStringLiteral("%1: empty or with blanks around it").arg(at);
        content::Item asItem;
        asItem.item = sign.text;
        asItem.file = sign.file;
        asItem.line = sign.line;
        texts << asItem;
    }
    for (auto it = lists.warningAges.cbegin(); it != lists.warningAges.cend(); ++it) {
        if (!signsAt.contains(it.key().mid(1).toInt()))
            problems << QStringLiteral("no sign for the checkpoint %1").arg(it.key());
    }
    if (!signsAt.contains(0))
        problems << QStringLiteral("no sign for any age (age 0)");
    if (visits != lists.visitMonths)
        problems
            << QStringLiteral("visits at %1, the schedule is %2").arg(visits.join(u' '), lists.visitMonths.join(u' '));
    problems << numbersWrittenAsWords(texts, lists);
    QSet<QString> seen;
    for (const content::Item &t : std::as_const(texts)) {
        if (seen.contains(t.item))
            problems << QStringLiteral("%1: said twice: %2").arg(where(t), t.item);
        seen.insert(t.item);
    }
    REPORT(problems);
}

void ContentTest::installedDatabaseHoldsTheContent()
{
    REQUIRE_CONTENT();
    const QString installed = QStringLiteral(CG_BINARY_DIR "/bin/") + assessmentdb::kFileName;
    QVERIFY2(QFile::exists(installed), qPrintable(installed + QStringLiteral(" has not been built")));
    // Read a copy: opening a database holds it for this process alone, and the
    // other tests copy the installed file at the same time.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString copy = dir.filePath(assessmentdb::kFileName);
    QVERIFY(QFile::copy(installed, copy));
    QVERIFY(QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner));

    QStringList problems;
    try {
        dao::Database db = dao::DBEngine::OpenDatabase(copy, true, false, assessmentdb::kConnect);
        dao::Recordset rs = db.OpenRecordset(schema::test::kTable);
        const auto shown = [](const QVariant &v) {
            return v.isNull() ? QStringLiteral("Null") : QLatin1Char('"') + v.toString() + QLatin1Char('"');
        };
        const auto textOf = [](const std::optional<QString> &t) { return t ? QVariant(*t) : QVariant(); };
        // One line per differing row, the first few rows only: a row missing
        // or added shifts every row after it.
        constexpr int kRowsShown = 10;
        int differingRows = 0;
        qsizetype row = 0;
        for (; !rs.AtEOF(); rs.MoveNext(), ++row) {
            if (row >= m_items.size())
                continue;
            const content::Item &item = m_items.at(row);
            const QList<std::pair<QString, QVariant>> expected {{schema::test::kAge, item.age},
                {schema::test::kClass, item.clas}, {schema::test::kPoints, item.fen}, {schema::test::kItem, item.item},
                {schema::test::kHowTo, textOf(item.howto)}, {schema::test::kGoal, item.disp},
                {schema::test::option(1), textOf(item.opt[0])}, {schema::test::option(2), textOf(item.opt[1])},
                {schema::test::option(3), textOf(item.opt[2])}, {schema::test::option(4), textOf(item.opt[3])}};
            QStringList differences;
            for (const auto &[column, want] : expected) {
                const QVariant got = rs.Fields(column).Value();
                bool same = got.isNull() == want.isNull();
                if (same && !want.isNull()) {
                    same = want.typeId() == QMetaType::QString ? got.toString() == want.toString()
                                                               : got.toDouble() == want.toDouble();
                }
                if (!same)
                    differences << QStringLiteral("%1 %2 (file: %3)").arg(column, shown(got), shown(want));
            }
            if (!differences.isEmpty() && ++differingRows <= kRowsShown)
                problems << QStringLiteral("%1: row %2 of the database differs: %3")
                                .arg(where(item))
                                .arg(row + 1)
                                .arg(differences.join(QStringLiteral("; ")));
        }
        if (differingRows > kRowsShown)
            problems << QStringLiteral("... and %1 more differing rows").arg(differingRows - kRowsShown);
        if (row != m_items.size())
            problems.prepend(
                QStringLiteral("the database holds %1 rows, the content files %2").arg(row).arg(m_items.size()));
    } catch (const dao::DbError &e) {
        QFAIL(qPrintable(QStringLiteral("error %1: %2").arg(e.number()).arg(e.description())));
    }
    REPORT(problems);
}

QTEST_MAIN(ContentTest)
#include "tst_content.moc"
