// tidewright --show-dock NAME: the dock titled NAME (any case) comes in front of the
// docks that share its place, and a title no dock has is an error that names them.
#include <QDockWidget>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "app/dock_by_title.h"
#include "app/main_window.h"
#include "support/pty.h"

class ShowDockTest : public QObject {
    Q_OBJECT

    QTemporaryDir work;

private slots:
    void initTestCase() {
        QVERIFY(QDir::setCurrent(work.path()));
        qputenv("XDG_RUNTIME_DIR", work.path().toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", work.path().toLocal8Bit());
    }

    void raisesTheDockWithThatTitle_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("title");
        QTest::newRow("exact") << "AIS Targets"
                               << "AIS Targets";
        QTest::newRow("lower case") << "ais targets"
                                    << "AIS Targets";
        QTest::newRow("upper case, spaces around") << "  SENTENCES "
                                                   << "Sentences";
        QTest::newRow("back to the first tab") << "parse result"
                                               << "Parse Result";
        QTest::newRow("a dock of its own") << "Raw Data"
                                           << "Raw Data";
    }
    void raisesTheDockWithThatTitle() {
        QFETCH(QString, name);
        QFETCH(QString, title);
        TestPty pty;
        MainWindow window(pty.slavePath(), 4800);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(raiseDockByTitle(window, name));
        QDockWidget* dock = dockByTitle(window, title);
        QVERIFY(dock != nullptr);
        QTRY_VERIFY(dock->isVisible() && !dock->visibleRegion().isEmpty());
        // The docks tabbed with it are behind it.
        for (QDockWidget* other : window.tabifiedDockWidgets(dock)) {
            QVERIFY2(other->visibleRegion().isEmpty(), qPrintable(other->windowTitle()));
        }
    }

    void unknownTitleIsRefused() {
        TestPty pty;
        MainWindow window(pty.slavePath(), 4800);
        const QStringList titles = dockTitles(window);
        for (const char* title : {"Parse Result", "Sentences", "Raw Data", "AIS Targets"}) {
            QVERIFY2(titles.contains(title), title);
        }
        QVERIFY(!raiseDockByTitle(window, "Targets"));
        QVERIFY(!raiseDockByTitle(window, ""));
    }

    // The program itself: an unknown title stops it with the titles it has.
    void programNamesTheDocksOfAnUnknownTitle() {
        TestPty pty;
        QProcess monitor;
        monitor.setWorkingDirectory(work.path());
        monitor.start(TIDEWRIGHT_MONITOR_EXECUTABLE,
                      {"--source", pty.slavePath(), "--show-dock", "Sky view of the moon"});
        QVERIFY(monitor.waitForFinished(60000));
        QCOMPARE(monitor.exitCode(), 2);
        const QString error = QString::fromLocal8Bit(monitor.readAllStandardError());
        QVERIFY2(error.contains("no dock is titled 'Sky view of the moon'"), qPrintable(error));
        QVERIFY2(error.contains("AIS Targets") && error.contains("Sentences"), qPrintable(error));
    }
};

QTEST_MAIN(ShowDockTest)
#include "tst_show_dock.moc"
