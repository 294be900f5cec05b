// The main window driven as a user would, with a pseudo-terminal as the port:
// start-up Setup, opening at both speeds, failures, the raw pane, recording,
// the context menu and the close prompt.
#include <QAction>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDockWidget>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QPlainTextEdit>
#include <memory>

#include "app/globals.h"
#include "app/main_window.h"
#include "serial/setup_dialog.h"
#include "support/modal.h"
#include "support/pty.h"

using testsupport::whenModal;
using testsupport::whenPopup;

namespace {

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// Answers the next setup dialog: an empty port cancels it.
std::shared_ptr<bool> answerSetup(const QString& port, int rateIndex = 0) {
    return whenModal<setupDialog>([=](setupDialog* dialog) {
        if (port.isEmpty()) {
            dialog->findChild<QPushButton*>("pushButton_cancel")->click();
            return;
        }
        dialog->findChild<QComboBox*>("comboBox_port")->setEditText(port);
        dialog->findChild<QComboBox*>("comboBox_baudRate")->setCurrentIndex(rateIndex);
        dialog->findChild<QPushButton*>("pushButton_enter")->click();
    });
}

// Types the name into the dialog's own name field and accepts it, as a user
// would; selectFile() can be overridden by the dialog's late directory listing.
void typeFileName(QFileDialog* dialog, const QString& path) {
    dialog->findChild<QLineEdit*>("fileNameEdit")->setText(path);
    static_cast<QDialog*>(dialog)->accept();
}

// Answers the next save dialog with path (an empty path cancels it).
std::shared_ptr<bool> answerSave(const QString& path) {
    return whenModal<QFileDialog>([=](QFileDialog* dialog) {
        if (path.isEmpty()) {
            dialog->reject();
            return;
        }
        typeFileName(dialog, path);
    });
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(work.isValid());
        QVERIFY(QDir::setCurrent(work.path()));  // logs and snapshots land here
        qputenv("XDG_RUNTIME_DIR", work.path().toLocal8Bit());
    }

    void cleanup() { testsupport::cancelPendingModals(); }

    void init() {
        receiveBuffer.clear();
        portSettings = initialPortSettings();
        comName = "COM1";
    }

    void startupSetupOverVisibleWindowThenCancel() {
        bool windowVisibleUnderSetup = false;
        auto handled = whenModal<setupDialog>([&](setupDialog* dialog) {
            for (QWidget* top : QApplication::topLevelWidgets()) {
                if (qobject_cast<MainWindow*>(top) && top->isVisible()) {
                    windowVisibleUnderSetup = true;
                }
            }
            dialog->findChild<QPushButton*>("pushButton_cancel")->click();
        });
        MainWindow window;
        QVERIFY(*handled);
        QVERIFY(windowVisibleUnderSetup);

        QCOMPARE(window.windowTitle(), QString("Tidewright"));
        QCOMPARE(window.geometry().size(), QSize(800, 600));
        QCOMPARE(window.statusTip(), QString("No COM Port Selected"));
        QVERIFY(!comOpened);
        expectActions(window, true, false, false);
        QVERIFY(action(window, "actionExit")->isEnabled());
        QVERIFY(action(window, "actionClear")->isEnabled());
        QVERIFY(action(window, "actionAbout")->isEnabled());

        QStringList viewMenu;
        for (QAction* a : window.findChild<QMenu*>("menuView")->actions()) {
            viewMenu << a->text();
        }
        QCOMPARE(viewMenu, QStringList({"Parse Result", "Raw Data"}));
        const QList<QLabel*> labels = window.statusBar()->findChildren<QLabel*>();
        QVERIFY(std::any_of(labels.begin(), labels.end(),
                            [](QLabel* l) { return l->text() == "Developed by Brinevale"; }));
    }

    void acceptOpensAt4800ThenSetupAgainAt38400() {
        TestPty pty;
        answerSetup(pty.slavePath(), 0);
        MainWindow window;
        QVERIFY(comOpened);
        QCOMPARE(pty.inputSpeed(), speed_t(B4800));
        QCOMPARE(pty.outputSpeed(), speed_t(B4800));
        QCOMPARE(window.statusTip(), QString("Listening Port %1...").arg(pty.slavePath()));
        expectActions(window, true, true, false);

        auto again = answerSetup(pty.slavePath(), 1);
        action(window, "actionSetup")->trigger();
        QVERIFY(*again);
        QVERIFY(comOpened);
        QCOMPARE(pty.inputSpeed(), speed_t(B38400));
        expectActions(window, true, true, false);

        // Still reading after the reopening.
        QVERIFY(pty.send("$GPZDA*00\r\n"));
        QTRY_COMPARE(rawPane(window)->toPlainText(), QString("$GPZDA*00\n"));
    }

    void failedOpenShowsBoxThenStatus() {
        const QString name = work.path() + "/no-such-port";
        answerSetup(name);
        QString title;
        QString text;
        auto box = whenModal<QMessageBox>([&](QMessageBox* b) {
            title = b->windowTitle();
            text = b->text();
            b->button(QMessageBox::Ok)->click();
        });
        MainWindow window;
        QVERIFY(*box);
        QCOMPARE(title, QString("Warning"));
        QCOMPARE(text, QString("Open port: %1 fail!").arg(name));
        QCOMPARE(window.statusTip(), text);
        QVERIFY(!comOpened);
        expectActions(window, true, false, false);
    }

    void echoIndependentOfHowReadsAreCut() {
        TestPty pty;
        answerSetup(pty.slavePath());
        MainWindow window;
        QPlainTextEdit* raw = rawPane(window);
        QVERIFY(raw->isReadOnly());

        const QByteArray sentence =
            "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47";
        QVERIFY(pty.send(sentence.first(10)));
        QTRY_COMPARE(raw->toPlainText(), QString::fromLatin1(sentence.first(10)));
        // The user clicks at the start; the next chunk still goes to the end.
        raw->moveCursor(QTextCursor::Start);
        QVERIFY(pty.send(sentence.sliced(10) + "\r"));
        QTRY_COMPARE(raw->toPlainText(), QString::fromLatin1(sentence + "\n"));
        // The LF of that CR LF arrives alone: still one line end.
        QVERIFY(pty.send(QByteArray("\n$GP\0ZDA*00\r\n", 13)));
        QTRY_COMPARE(raw->toPlainText(), QString::fromLatin1(sentence + "\n$GPZDA*00\n"));

        // Clear empties the pane only; a partial sentence stays buffered.
        QVERIFY(pty.send("$GPRMC,1"));
        QTRY_VERIFY(raw->toPlainText().endsWith("$GPRMC,1"));
        const QByteArray buffered = receiveBuffer;
        QVERIFY(buffered.endsWith("$GPRMC,1"));
        action(window, "actionClear")->trigger();
        QCOMPARE(raw->toPlainText(), QString());
        QCOMPARE(receiveBuffer, buffered);
        QVERIFY(pty.send("23\r\n"));
        QTRY_COMPARE(raw->toPlainText(), QString("23\n"));
    }

    void recordStopAndSaveWritesWhatWasReceived() {
        TestPty pty;
        answerSetup(pty.slavePath());
        MainWindow window;
        QVERIFY(pty.send("before record\r\n"));
        QTRY_COMPARE(rawPane(window)->toPlainText(), QString("before record\n"));

        action(window, "actionRecord")->trigger();
        QVERIFY(recording);
        expectActions(window, false, false, true);

        QByteArray sent = "$GPGGA,1,2*00\r";
        QByteArray expected = "$GPGGA,1,2*00\n";
        QVERIFY(pty.send(sent));
        QTRY_COMPARE(rawPane(window)->toPlainText(),
                     QString::fromLatin1("before record\n" + expected));
        QByteArray high;
        for (int b = 0x80; b <= 0xFF; ++b) {
            high.append(char(b));
        }
        QVERIFY(pty.send("\n" + high + QByteArray("\0x\rlast\n", 8)));
        expected += high + "x\nlast\n";
        QTRY_VERIFY(rawPane(window)->toPlainText().endsWith("last\n"));

        const QString path = work.filePath("recorded.txt");
        QString caption;
        QStringList filters;
        QString proposed;
        auto save = whenModal<QFileDialog>([&](QFileDialog* dialog) {
            caption = dialog->windowTitle();
            filters = dialog->nameFilters();
            proposed = dialog->selectedFiles().value(0);
            typeFileName(dialog, path);
        });
        action(window, "actionStop")->trigger();
        QVERIFY(*save);
        QCOMPARE(caption, QString("Save"));
        QCOMPARE(filters, QStringList({"Text files (*.txt)"}));
        QCOMPARE(proposed, QDir::current().filePath("untitled.txt"));
        QCOMPARE(fileBytes(path), expected);
        QVERIFY(!recording);
        expectActions(window, true, true, false);

        // A new recording starts empty; with nothing received it saves an empty file.
        action(window, "actionRecord")->trigger();
        const QString empty = work.filePath("empty.txt");
        answerSave(empty);
        action(window, "actionStop")->trigger();
        QTRY_COMPARE(fileBytes(empty), QByteArray());

        // A cancelled save dialog writes nothing and still returns to Port open.
        action(window, "actionRecord")->trigger();
        auto cancelled = answerSave({});
        action(window, "actionStop")->trigger();
        QVERIFY(*cancelled);
        expectActions(window, true, true, false);
    }

    void realCaptureSavedByteForByte() {
        QFile capture(QStringLiteral(TW_APP_TEST_DATA "/gpsd-ais-nmea.log"));
        QVERIFY(capture.open(QIODevice::ReadOnly));
        QByteArray sent;
        QByteArray expected;
        for (const QByteArray& line : capture.readAll().split('\n')) {
            if (!line.isEmpty()) {
                sent += line + "\r\n";
                expected += line + "\n";
            }
        }
        QVERIFY(expected.contains(char(0xD0)));  // the header's UTF-8 bytes travel as Latin-1

        TestPty pty;
        answerSetup(pty.slavePath(), 1);
        MainWindow window;
        action(window, "actionRecord")->trigger();
        // Uneven writes, so reads are cut anywhere, CR LF pairs included.
        const int sizes[] = {1, 7, 61, 200, 13, 4096, 2};
        for (qsizetype at = 0, i = 0; at < sent.size(); ++i) {
            const qsizetype n = qMin<qsizetype>(sizes[i % 7], sent.size() - at);
            QVERIFY(pty.send(sent.sliced(at, n)));
            at += n;
            if (i % 5 == 0) {
                QTest::qWait(1);
            }
        }
        QTRY_COMPARE_WITH_TIMEOUT(rawPane(window)->toPlainText().size(), expected.size(), 30000);
        QCOMPARE(rawPane(window)->toPlainText(), QString::fromLatin1(expected));

        const QString path = work.filePath("capture.txt");
        answerSave(path);
        action(window, "actionStop")->trigger();
        QCOMPARE(fileBytes(path), expected);
    }

    void failedSaveIsReportedAndAskedAgain() {
        TestPty pty;
        answerSetup(pty.slavePath());
        MainWindow window;
        action(window, "actionRecord")->trigger();
        QVERIFY(pty.send("kept\r\n"));
        QTRY_COMPARE(rawPane(window)->toPlainText(), QString("kept\n"));

        const QString good = work.filePath("second-try.txt");
        // A link into a missing directory: the file dialog accepts the name, but
        // the file cannot be created.
        const QString bad = work.filePath("dangling.txt");
        QVERIFY(QFile::link(work.filePath("missing-dir/log.txt"), bad));
        QString warning;
        auto first = answerSave(bad);
        auto box = whenModal<QMessageBox>([&](QMessageBox* b) {
            warning = b->text();
            answerSave(good);
            b->button(QMessageBox::Ok)->click();
        });
        action(window, "actionStop")->trigger();
        QVERIFY(*first && *box);
        QVERIFY(warning.contains("dangling.txt"));
        QCOMPARE(fileBytes(good), QByteArray("kept\n"));
    }

    void contextMenuOffersClear() {
        TestPty pty;
        answerSetup(pty.slavePath());
        MainWindow window;
        QVERIFY(pty.send("some text\r\n"));
        QTRY_VERIFY(!rawPane(window)->toPlainText().isEmpty());

        QStringList entries;
        auto menu = whenPopup<QMenu>([&](QMenu* m) {
            for (QAction* a : m->actions()) {
                entries << a->text();
            }
            m->actions().last()->trigger();
            m->close();
        });
        QWidget* central = window.centralWidget();
        const QPoint local = central->rect().center();
        QContextMenuEvent event(QContextMenuEvent::Mouse, local, central->mapToGlobal(local));
        QApplication::sendEvent(central, &event);
        QVERIFY(*menu);
        QCOMPARE(entries.last(), QString("Clear"));
        QVERIFY(entries.size() > 2);  // the pane's own entries come first
        QVERIFY(entries.filter("Select All").size() == 1);
        QCOMPARE(rawPane(window)->toPlainText(), QString());
    }

    void closeWhileRecordingAsks() {
        TestPty pty;
        answerSetup(pty.slavePath());
        MainWindow window;
        action(window, "actionRecord")->trigger();
        QVERIFY(pty.send("abc\r\n"));
        QTRY_COMPARE(rawPane(window)->toPlainText(), QString("abc\n"));

        // Cancel: the program goes on running and recording.
        QList<QMessageBox::StandardButton> offered;
        auto cancel = whenModal<QMessageBox>([&](QMessageBox* box) {
            for (QAbstractButton* b : box->buttons()) {
                offered << box->standardButton(b);
            }
            box->button(QMessageBox::Cancel)->click();
        });
        QVERIFY(!window.close());
        QVERIFY(*cancel);
        QCOMPARE(offered.size(), 3);
        QVERIFY(offered.contains(QMessageBox::Save) && offered.contains(QMessageBox::Discard) &&
                offered.contains(QMessageBox::Cancel));
        QVERIFY(window.isVisible());
        QVERIFY(recording && comOpened);
        QVERIFY(pty.send("def\r\n"));
        QTRY_COMPARE(rawPane(window)->toPlainText(), QString("abc\ndef\n"));

        // Save, then the file dialog cancelled: still running and recording.
        auto saveThenCancel = whenModal<QMessageBox>([](QMessageBox* box) {
            answerSave({});
            box->button(QMessageBox::Save)->click();
        });
        QVERIFY(!window.close());
        QVERIFY(*saveThenCancel);
        QVERIFY(recording && window.isVisible());

        // Save with a name: written, then closed with the port.
        const QString path = work.filePath("on-close.txt");
        auto save = whenModal<QMessageBox>([=](QMessageBox* box) {
            answerSave(path);
            box->button(QMessageBox::Save)->click();
        });
        QVERIFY(window.close());
        QVERIFY(*save);
        QCOMPARE(fileBytes(path), QByteArray("abc\ndef\n"));
        QVERIFY(!window.isVisible());
        QVERIFY(!comOpened);
        QVERIFY(!recording);
    }

    void exitWhileRecordingCanDiscard() {
        TestPty pty;
        answerSetup(pty.slavePath());
        MainWindow window;
        action(window, "actionRecord")->trigger();
        const QStringList before = QDir::current().entryList(QDir::Files);
        auto discard = whenModal<QMessageBox>(
            [](QMessageBox* box) { box->button(QMessageBox::Discard)->click(); });
        action(window, "actionExit")->trigger();
        QVERIFY(*discard);
        QVERIFY(!window.isVisible());
        QVERIFY(!comOpened && !recording);
        QCOMPARE(QDir::current().entryList(QDir::Files), before);
    }

    void closeWithoutRecordingDoesNotAsk() {
        TestPty pty;
        answerSetup(pty.slavePath());
        MainWindow window;
        QVERIFY(window.close());
        QVERIFY(!comOpened);
    }

    void volumeUpKeyClosesPortOnly() {
        TestPty pty;
        answerSetup(pty.slavePath());
        MainWindow window;
        QVERIFY(comOpened);
        QTest::keyClick(&window, Qt::Key_A);
        QVERIFY(comOpened);
        QTest::keyClick(&window, Qt::Key_VolumeUp);
        QVERIFY(!comOpened);
        expectActions(window, true, true, false);
    }

    void rawPaneKeepsLatestLinesAndClears() {
        TestPty pty;
        answerSetup(pty.slavePath(), 1);
        MainWindow window;
        QPlainTextEdit* raw = rawPane(window);
        const int total = MainWindow::kRawPaneLines + 3000;
        QByteArray lines;
        for (int i = 1; i <= total; ++i) {
            lines += QByteArray::number(i) + "\r\n";
        }
        QVERIFY(pty.send(lines));
        QTRY_VERIFY_WITH_TIMEOUT(raw->toPlainText().endsWith(QString("\n%1\n").arg(total)), 60000);
        QTextDocument* doc = raw->document();
        QVERIFY(doc->blockCount() <= MainWindow::kRawPaneLines + 1);
        // At least the latest 20,000 complete lines are there, in order.
        const QStringList kept = raw->toPlainText().split('\n', Qt::SkipEmptyParts);
        QVERIFY(kept.size() >= MainWindow::kRawPaneLines);
        QCOMPARE(kept.last(), QString::number(total));
        QCOMPARE(kept.first().toInt(), total - int(kept.size()) + 1);

        action(window, "actionClear")->trigger();
        QCOMPARE(raw->toPlainText(), QString());
        QVERIFY(pty.send("again\r\n"));
        QTRY_COMPARE(raw->toPlainText(), QString("again\n"));
        QCOMPARE(doc->maximumBlockCount(), MainWindow::kRawPaneLines + 1);
    }

private:
    static QAction* action(MainWindow& w, const char* name) { return w.findChild<QAction*>(name); }

    static QPlainTextEdit* rawPane(MainWindow& w) {
        for (QDockWidget* dock : w.findChildren<QDockWidget*>()) {
            if (dock->windowTitle() == "Raw Data") {
                return qobject_cast<QPlainTextEdit*>(dock->widget());
            }
        }
        return nullptr;
    }

    static void expectActions(MainWindow& w, bool setup, bool record, bool stop) {
        QCOMPARE(action(w, "actionSetup")->isEnabled(), setup);
        QCOMPARE(action(w, "actionRecord")->isEnabled(), record);
        QCOMPARE(action(w, "actionStop")->isEnabled(), stop);
    }

    QTemporaryDir work;
};

QTEST_MAIN(MainWindowTest)
#include "tst_main_window.moc"
