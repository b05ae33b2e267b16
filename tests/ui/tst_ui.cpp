#include "support/TestSupport.h"
#include "ui/Controls.h"
#include "ui/FixedDialog.h"
#include "ui/Fonts.h"
#include "ui/Messages.h"

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
    void enterPressesOnlyTheFocusedButton();
    void messageBoxShowsItsWholeTitle();
    void fixedTextFontsKeepFallbackWhenNeeded();
};

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
    int width = 0;
    ModalWatcher::when<QMessageBox>([&](QMessageBox *box) {
        title = box->windowTitle();
        width = box->width();
        box->accept();
    });
    messages::show(nullptr, QStringLiteral("请选择用户")); // a short text under a long title
    QVERIFY(!ModalWatcher::timedOut());
    QVERIFY(!title.isEmpty());
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
    fonts::installSubstitutions();
    const QFont hei = fonts::font(fonts::kSimHei, 14.25, true);
    // The Hei face has these characters: no fallback search needed.
    QCOMPARE(fonts::forFixedText(hei, QStringLiteral("智能(Intelligence)")).styleStrategy(), QFont::NoFontMerging);
    // A character the face lacks must still be drawn by another face.
    QVERIFY(fonts::forFixedText(hei, QStringLiteral("智能\u0D9A")).styleStrategy() != QFont::NoFontMerging);
}

QTEST_MAIN(TestUi)
#include "tst_ui.moc"
