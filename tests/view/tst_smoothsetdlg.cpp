// The smoothing settings dialog: what each typed text sets, and what cancelling leaves alone.
#include "support/ScriptedPrompts.h"
#include "view/CDrawView.h"
#include "view/CSmoothSetDlg.h"

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

class TestSmoothSetDlg : public QObject {
    Q_OBJECT
private slots:
    void opensShowingOneWhateverTheCount()
    {
        ScriptedPrompts prompts;
        CDrawView view;
        view.File().ScreenData().primary.m_nSmoothWindow = 5;
        CSmoothSetDlg dlg(&view, prompts);
        QCOMPARE(dlg.windowTitle(), QStringLiteral("平滑设置"));
        QCOMPARE(dlg.PointsEdit()->text(), QStringLiteral("1"));
        QCOMPARE(dlg.PointsEdit()->objectName(), QStringLiteral("1019"));
        QVERIFY(dlg.findChild<QPushButton*>(QStringLiteral("1")));
        // Pressing OK straight away therefore goes back to one point.
        dlg.OnOK();
        QCOMPARE(view.File().ScreenData().primary.m_nSmoothWindow, 1);
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
    }

    void typingOnOpeningReplacesTheOne()
    {
        ScriptedPrompts prompts;
        CDrawView view;
        view.ShowFile(QString(), QString());
        CSmoothSetDlg dlg(&view, prompts);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        QCOMPARE(QApplication::focusWidget(), dlg.PointsEdit());
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("5"));
        QCOMPARE(dlg.PointsEdit()->text(), QStringLiteral("5"));
    }

    void typedCountIsAppliedOrFallsBackToOne_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("points");
        QTest::newRow("3") << QStringLiteral("3") << 3;
        QTest::newRow("10") << QStringLiteral("10") << 10;
        QTest::newRow("leading blanks, trailing text") << QStringLiteral("  7点") << 7;
        QTest::newRow("0") << QStringLiteral("0") << 1;
        QTest::newRow("11") << QStringLiteral("11") << 1;
        QTest::newRow("-2") << QStringLiteral("-2") << 1;
        QTest::newRow("abc") << QStringLiteral("abc") << 1;
        QTest::newRow("empty") << QString() << 1;
        QTest::newRow("too large for an int") << QStringLiteral("99999999999") << 1;
    }

    void typedCountIsAppliedOrFallsBackToOne()
    {
        QFETCH(QString, typed);
        QFETCH(int, points);
        ScriptedPrompts prompts;
        CDrawView view;
        view.ShowFile(QString(), QString());
        view.File().ScreenData().primary.m_nSmoothWindow = 4;
        CSmoothSetDlg dlg(&view, prompts);
        dlg.PointsEdit()->setText(typed);
        dlg.findChild<QPushButton*>(QStringLiteral("1"))->click();
        QCOMPARE(view.File().ScreenData().primary.m_nSmoothWindow, points);
        // The next paint smooths again without re-reading the file; nothing is said.
        QVERIFY(!view.PendingRequests().reloadFile);
        QVERIFY(prompts.m_calls.isEmpty());
    }

    void escapeLeavesTheCountUnchanged()
    {
        ScriptedPrompts prompts;
        CDrawView view;
        view.ShowFile(QString(), QString());
        view.File().ScreenData().primary.m_nSmoothWindow = 6;
        CSmoothSetDlg dlg(&view, prompts);
        dlg.PointsEdit()->setText(QStringLiteral("3"));
        QTest::keyClick(&dlg, Qt::Key_Escape);
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
        QCOMPARE(view.File().ScreenData().primary.m_nSmoothWindow, 6);
        QVERIFY(view.PendingRequests().reloadFile);
    }

    void withoutAGraphViewTheSettingFails()
    {
        ScriptedPrompts prompts;
        CSmoothSetDlg dlg(nullptr, prompts);
        dlg.PointsEdit()->setText(QStringLiteral("3"));
        dlg.OnOK();
        QCOMPARE(prompts.Messages(), QStringList{QStringLiteral("设置失败!")});
    }
};

QTEST_MAIN(TestSmoothSetDlg)
#include "tst_smoothsetdlg.moc"
