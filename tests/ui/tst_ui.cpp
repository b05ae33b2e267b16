#include "support/TestSupport.h"
#include "ui/Controls.h"
#include "ui/FixedDialog.h"
#include "ui/Fonts.h"
#include "ui/Messages.h"
#include "ui/ModalWindow.h"
#include "ui/ParagraphLabel.h"
#include "ui/Translation.h"

#include <QFontDatabase>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

using testsupport::ModalWatcher;

// What every window shares: its keys, its message boxes, its fonts.
class TestUi : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void enterPressesOnlyTheFocusedButton();
    void messageBoxShowsItsWholeTitle();
    void fixedTextFontsKeepFallbackWhenNeeded();
    void paragraphsKeepLinesApartAndNoCharacterAlone();
    void fixedWindowStaysOverItsOwner();
};

void TestUi::initTestCase()
{
    fonts::installSubstitutions();
    QVERIFY(translation::installChinese(*qApp));
    modal::keepModalWindowsShown(*qApp);
}

void TestUi::enterPressesOnlyTheFocusedButton()
{
    FixedDialog dialog;
    auto *text = new QLineEdit(&dialog);
    QPushButton *first = controls::button(&dialog, "first", QStringLiteral("一"), QRect(0, 40, 80, 25));
    QPushButton *second = controls::button(&dialog, "second", QStringLiteral("二"), QRect(90, 40, 80, 25));
    QStringList pressed;
    for (QPushButton *b : {first, second})
        connect(b, &QPushButton::clicked, b, [&pressed, b] { pressed << b->objectName(); });
    dialog.show();

    // Neither a default nor a cancel button: Enter and Escape in a text box
    // press nothing and leave the window open.
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape})
        QVERIFY(testsupport::typeOnFocused(text, key));
    QVERIFY(dialog.isVisible());
    QVERIFY(pressed.isEmpty());

    // Enter presses the button that has the focus, and only that one; a held
    // key presses it once.
    QVERIFY(testsupport::typeOnFocused(second, Qt::Key_Return));
    QTest::keyClick(second, Qt::Key_Enter, Qt::KeypadModifier);
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(second, &repeat);
    QCOMPARE(pressed, (QStringList {QStringLiteral("second"), QStringLiteral("second")}));
}

void TestUi::messageBoxShowsItsWholeTitle()
{
    QString title;
    QString ok;
    Qt::WindowFlags frame;
    int width = 0;
    ModalWatcher::when<QMessageBox>([&](QMessageBox *box) {
        title = box->windowTitle();
        ok = box->buttons().value(0)->text();
        frame = box->windowFlags();
        width = box->width();
        box->accept();
    });
    messages::show(nullptr, QStringLiteral("请选择用户")); // a short text under a long title
    QVERIFY(!ModalWatcher::timedOut());
    QVERIFY(!title.isEmpty());
    // Qt's own button speaks Chinese; the frame offers a close button alone,
    // as a fixed window's does.
    QCOMPARE(ok, QStringLiteral("确定"));
    QVERIFY(frame & Qt::WindowTitleHint && frame & Qt::WindowCloseButtonHint);
    QVERIFY(!(frame & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    // The title in the title bar's font, drawn bold by many window managers,
    // beside three buttons each at least as wide as the text is high.
    for (QFont font :
        {QFontDatabase::systemFont(QFontDatabase::TitleFont), QApplication::font("QMdiSubWindowTitleBar")}) {
        font.setBold(true);
        const QFontMetrics metrics(font);
        QVERIFY2(width >= metrics.horizontalAdvance(title) + 3 * metrics.height(), qPrintable(QString::number(width)));
    }
}

void TestUi::fixedTextFontsKeepFallbackWhenNeeded()
{
    const QFont hei = fonts::font(fonts::kSimHei, 14.25, true);
    // The Hei face has these characters: no fallback search needed.
    QCOMPARE(fonts::forFixedText(hei, QStringLiteral("智能(Intelligence)")).styleStrategy(), QFont::NoFontMerging);
    // A character the face lacks must still be drawn by another face.
    QVERIFY(fonts::forFixedText(hei, QStringLiteral("智能\u0D9A")).styleStrategy() != QFont::NoFontMerging);
}

void TestUi::paragraphsKeepLinesApartAndNoCharacterAlone()
{
    const QFont song = fonts::font(fonts::kSimSun, fonts::kWindowPointSize);
    const QFontMetrics metrics(song);
    const int width = 10 * metrics.horizontalAdvance(QChar(0x4E2D)) + 2;
    // Eleven characters and a full stop in a width of ten: filled line by
    // line, the last character and its stop would stand alone.
    const paragraphs::Layout laid
        = paragraphs::typeset(QStringLiteral("宝宝已经能独自坐稳很久。\n能坐。"), song, width);
    const QStringList lines = laid.lines();
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines.at(1), QStringLiteral("很久。"));
    QCOMPARE(lines.at(2), QStringLiteral("能坐。")); // nothing to balance
    const QList<qreal> tops = laid.tops();
    for (qsizetype i = 1; i < tops.size(); ++i)
        QVERIFY(tops.at(i) - tops.at(i - 1) >= 1.2 * metrics.height());
}

void TestUi::fixedWindowStaysOverItsOwner()
{
    QWidget owner;
    owner.show();
    FixedDialog dialog(&owner);
    const Qt::WindowFlags frame = dialog.windowFlags();
    QVERIFY(frame & Qt::WindowTitleHint && frame & Qt::WindowCloseButtonHint);
    QVERIFY(!(frame & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    // A window manager that minimises it anyway: it comes back at once, and
    // the program never seems to vanish.
    dialog.open();
    dialog.setWindowState(Qt::WindowMinimized);
    QTRY_VERIFY(!dialog.isMinimized());
    QVERIFY(dialog.isVisible());
}

QTEST_MAIN(TestUi)
#include "tst_ui.moc"
