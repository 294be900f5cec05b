// The main window driven as a user would, with a pseudo-terminal as the port.
#include <QAction>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "app/globals.h"
#include "app/main_window.h"
#include "serial/setup_dialog.h"
#include "support/modal.h"
#include "support/pty.h"
#include "support/setup_answer.h"

using testsupport::answerSetup;
using testsupport::whenModal;

namespace {

// Answers the next save dialog by typing into its name field (selectFile() can
// be overridden by a late directory listing); an empty path cancels it.
std::shared_ptr<bool> answerSave(const QString& path) {
    return whenModal<QFileDialog>([=](QFileDialog* dialog) {
        if (path.isEmpty()) {
            return dialog->reject();
        }
        dialog->findChild<QLineEdit*>("fileNameEdit")->setText(path);
        static_cast<QDialog*>(dialog)->accept();
    });
}

// Answers the next message box with button; returns its title and text.
std::shared_ptr<QString> answerBox(QMessageBox::StandardButton button,
                                   std::function<void()> before = {}) {
    auto seen = std::make_shared<QString>();
    whenModal<QMessageBox>([=](QMessageBox* box) {
        *seen = box->windowTitle() + ": " + box->text();
        if (before) {
            before();
        }
        box->button(button)->click();
    });
    return seen;
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(QDir::setCurrent(work.path()));
        qputenv("XDG_RUNTIME_DIR", work.path().toLocal8Bit());
    }
    void cleanup() { testsupport::cancelPendingModals(); }

    // The start-up Setup is modal from its first show (the driver finds it as
    // the active modal widget, even if answered before exec()) over the
    // visible window; then Setup again at both speeds, and a failed open.
    void setupPaths() {
        bool windowVisible = false;
        auto handled = whenModal<setupDialog>([&](setupDialog* dialog) {
            for (QWidget* top : QApplication::topLevelWidgets()) {
                windowVisible |= qobject_cast<MainWindow*>(top) && top->isVisible();
            }
            dialog->findChild<QPushButton*>("pushButton_cancel")->click();
        });
        MainWindow window;
        QVERIFY(*handled && windowVisible);
        QCOMPARE(window.statusTip(), QString("No COM Port Selected"));
        expectActions(window, true, false, false);

        TestPty pty;
        for (const auto& [index, speed] : {std::pair{0, B4800}, std::pair{1, B38400}}) {
            auto accepted = answerSetup(pty.slavePath(), index);
            action(window, "actionSetup")->trigger();
            QVERIFY(*accepted && comOpened);
            QCOMPARE(pty.inputSpeed(), speed_t(speed));
            QCOMPARE(window.statusTip(), "Listening Port " + pty.slavePath() + "...");
            expectActions(window, true, true, false);
        }
        QVERIFY(pty.send("$GPZDA*48\r\n"));
        QTRY_COMPARE(rawPane(window)->toPlainText(), QString("$GPZDA*48\n"));

        const QString missing = work.filePath("no-such-port");
        answerSetup(missing);
        auto box = answerBox(QMessageBox::Ok);
        action(window, "actionSetup")->trigger();
        QCOMPARE(*box, "Warning: Open port: " + missing + " fail!\nNo such file or directory");
        QCOMPARE(window.statusTip(), "Open port: " + missing + " fail!");
        QVERIFY(!comOpened);
        expectActions(window, true, false, false);
    }

    // A sentence split over two reads is echoed once, wherever the user
    // clicked; a CR LF split between reads is one line end; NUL is dropped.
    // Clear (from the menu or the pane's context menu) empties the pane only.
    void echoAndClear() {
        TestPty pty;
        answerSetup(pty.slavePath());
        MainWindow window;
        QPlainTextEdit* raw = rawPane(window);
        const QByteArray sentence = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,,*1F";
        QVERIFY(pty.send(sentence.first(10)));
        QTRY_COMPARE(raw->toPlainText(), QString::fromLatin1(sentence.first(10)));
        raw->moveCursor(QTextCursor::Start);
        QVERIFY(pty.send(sentence.sliced(10) + "\r"));
        QTRY_COMPARE(raw->toPlainText(), QString::fromLatin1(sentence + "\n"));
        QVERIFY(pty.send(QByteArray("\n$GP\0ZDA*48\r\n$GPRMC,1", 21)));
        QTRY_COMPARE(raw->toPlainText(), QString::fromLatin1(sentence + "\n$GPZDA*48\n$GPRMC,1"));

        const QByteArray buffered = receiveBuffer;  // the partial sentence stays buffered
        QVERIFY(buffered.endsWith("$GPRMC,1"));
        action(window, "actionClear")->trigger();
        QCOMPARE(raw->toPlainText(), QString());
        QCOMPARE(receiveBuffer, buffered);
        QVERIFY(pty.send("23\r\n"));
        QTRY_COMPARE(raw->toPlainText(), QString("23\n"));

        QStringList entries;  // the pane's own entries, then Clear
        auto menu = whenModal<QMenu>(
            [&](QMenu* m) {
                for (QAction* a : m->actions()) {
                    entries << a->text();
                }
                m->actions().last()->trigger();
                m->close();
            },
            20000, /*popup=*/true);
        QWidget* central = window.centralWidget();
        const QPoint at = central->rect().center();
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, central->mapToGlobal(at));
        QApplication::sendEvent(central, &event);
        QVERIFY(*menu && entries.filter("Select All").size() == 1);
        QCOMPARE(entries.last(), QString("Clear"));
        QCOMPARE(raw->toPlainText(), QString());

        // The pane keeps at least the latest 20,000 lines, in order.
        const int total = MainWindow::kRawPaneLines + 3000;
        QByteArray lines;
        for (int i = 1; i <= total; ++i) {
            lines += QByteArray::number(i) + "\r\n";
        }
        QVERIFY(pty.send(lines));
        QTRY_VERIFY_WITH_TIMEOUT(raw->toPlainText().endsWith(QString("\n%1\n").arg(total)), 60000);
        QVERIFY(raw->document()->blockCount() <= MainWindow::kRawPaneLines + 1);
        const QStringList kept = raw->toPlainText().split('\n', Qt::SkipEmptyParts);
        QVERIFY(kept.size() >= 20000);
        QCOMPARE(kept.first().toInt(), total - int(kept.size()) + 1);
    }

    // A real capture, cut anywhere by uneven writes, saved byte for byte; a
    // save that fails is reported and asked again; a cancelled save returns
    // to Port open.
    void recordStopAndSave() {
        QFile capture(QStringLiteral(TW_APP_TEST_DATA "/gpsd-ais-nmea.log"));
        QVERIFY(capture.open(QIODevice::ReadOnly));
        const QByteArray expected = capture.readAll();
        const QByteArray sent = QByteArray(expected).replace("\n", "\r\n");
        TestPty pty;
        answerSetup(pty.slavePath(), 1);
        MainWindow window;
        QVERIFY(pty.send("before\r\n"));
        QTRY_COMPARE(rawPane(window)->toPlainText(), QString("before\n"));
        action(window, "actionRecord")->trigger();
        expectActions(window, false, false, true);
        const int sizes[] = {1, 7, 61, 200, 13, 4096, 2};
        for (qsizetype at = 0, i = 0; at < sent.size(); at += sizes[i++ % 7]) {
            QVERIFY(pty.send(sent.sliced(at, qMin<qsizetype>(sizes[i % 7], sent.size() - at))));
        }
        QTRY_VERIFY_WITH_TIMEOUT(
            rawPane(window)->toPlainText().endsWith(QString::fromLatin1(expected)), 30000);

        // A link into a missing directory: the dialog takes the name, the file
        // cannot be created.
        const QString bad = work.filePath("dangling.txt");
        const QString good = work.filePath("capture.txt");
        QVERIFY(QFile::link(work.filePath("missing-dir/log.txt"), bad));
        auto first = answerSave(bad);
        auto box = answerBox(QMessageBox::Ok, [good] { answerSave(good); });
        action(window, "actionStop")->trigger();
        QVERIFY(*first && box->contains("dangling.txt"));
        QFile saved(good);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), expected);

        action(window, "actionRecord")->trigger();
        auto cancelled = answerSave({});
        action(window, "actionStop")->trigger();
        QVERIFY(*cancelled && !recording);
        expectActions(window, true, true, false);
    }

    // Closing while recording asks Save, Discard or Cancel.
    void closePrompt() {
        TestPty pty;
        answerSetup(pty.slavePath());
        MainWindow window;
        action(window, "actionRecord")->trigger();
        const QStringList files = QDir::current().entryList(QDir::Files);
        auto cancel = answerBox(QMessageBox::Cancel);
        QVERIFY(!window.close());
        QCOMPARE(*cancel, QString("Recording: A log is being recorded. Save it before closing?"));
        QVERIFY(window.isVisible() && recording && comOpened);

        auto saveThenCancel = answerBox(QMessageBox::Save, [] { answerSave({}); });
        QVERIFY(!window.close());
        QVERIFY(!saveThenCancel->isEmpty() && recording && window.isVisible());

        auto discard = answerBox(QMessageBox::Discard);
        action(window, "actionExit")->trigger();
        QVERIFY(!discard->isEmpty() && !window.isVisible());
        QVERIFY(!comOpened && !recording);
        QCOMPARE(QDir::current().entryList(QDir::Files), files);
    }

private:
    static QAction* action(MainWindow& w, const char* name) { return w.findChild<QAction*>(name); }
    static QPlainTextEdit* rawPane(MainWindow& w) { return w.findChild<QPlainTextEdit*>(); }
    static void expectActions(MainWindow& w, bool setup, bool record, bool stop) {
        QCOMPARE(action(w, "actionSetup")->isEnabled(), setup);
        QCOMPARE(action(w, "actionRecord")->isEnabled(), record);
        QCOMPARE(action(w, "actionStop")->isEnabled(), stop);
    }

    QTemporaryDir work;
};

QTEST_MAIN(MainWindowTest)
#include "tst_main_window.moc"
