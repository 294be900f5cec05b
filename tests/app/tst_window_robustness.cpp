// The main window under hostile input and failing parts: a stream without line ends,
// storage that cannot be created or fills up, a port that goes away and comes back,
// snapshots that cannot be written, ports that must not be opened.
#include <unistd.h>

#include <QAction>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <memory>

#include "ais/vdm.h"
#include "app/chunk_text.h"
#include "app/globals.h"
#include "app/health_status.h"
#include "app/main_window.h"
#include "app/raw_pane.h"
#include "app/status_notices.h"
#include "sources/port_watch.h"
#include "support/modal.h"
#include "support/pty.h"
#include "support/setup_answer.h"

using testsupport::answerSetup;
using testsupport::whenModal;

namespace {

const QByteArray kGga = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n";

std::shared_ptr<QString> answerBox(std::function<void()> before = {}) {
    auto seen = std::make_shared<QString>();
    whenModal<QMessageBox>([=](QMessageBox* box) {
        *seen = box->text();
        if (before) {
            before();
        }
        box->button(QMessageBox::Ok)->click();
    });
    return seen;
}

std::shared_ptr<bool> answerSave(const QString& path) {
    return whenModal<QFileDialog>([=](QFileDialog* dialog) {
        if (path.isEmpty()) {
            return dialog->reject();
        }
        dialog->findChild<QLineEdit*>("fileNameEdit")->setText(path);
        static_cast<QDialog*>(dialog)->accept();
    });
}

// A recording's storage that holds `capacity` bytes, like a file system about to fill
// up; it can also be made to fail reading it back.
class SmallStorage : public QBuffer {
public:
    explicit SmallStorage(qint64 capacity) : capacity(capacity) {}
    bool failReads = false;

protected:
    qint64 writeData(const char* data, qint64 size) override {
        const qint64 room = std::min(size, capacity - buffer().size());
        if (room < size) {
            setErrorString(QStringLiteral("No space left on device"));
        }
        if (room <= 0) {
            return -1;
        }
        return QBuffer::writeData(data, room);
    }
    qint64 readData(char* data, qint64 size) override {
        if (failReads) {
            setErrorString(QStringLiteral("Input/output error"));
            return -1;
        }
        return QBuffer::readData(data, size);
    }

private:
    qint64 capacity;
};

}  // namespace

class WindowRobustnessTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(QDir::setCurrent(work.path()));
        qputenv("XDG_RUNTIME_DIR", work.path().toLocal8Bit());
    }
    void cleanup() { testsupport::cancelPendingModals(); }

    // Megabytes without a line end: the pane's lines and the receive buffer stay
    // bounded, and a sentence right after the flood is parsed at once.
    void floodWithoutLineEnds() {
        TestPty pty;
        answerSetup(pty.slavePath(), 1);
        MainWindow window;
        QFile::remove("gga.xml");
        const QByteArray flood(256 * 1024, '$');
        qsizetype largestBuffer = 0;
        for (int i = 0; i < 32; ++i) {
            QVERIFY(pty.send(flood));
            largestBuffer = std::max(largestBuffer, receiveBuffer.size());
        }
        QVERIFY(pty.send("\r\n" + kGga));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists("gga.xml"), 2000);
        QVERIFY(largestBuffer < 256);

        // The flood ends in a broken line; the sentence after it stands on a line of its own.
        const QString tail = QString::fromLatin1('\n' + kGga.chopped(2) + '\n');
        QTRY_VERIFY2_WITH_TIMEOUT(rawPane(window)->toPlainText().endsWith(tail),
                                  qPrintable(rawPane(window)->toPlainText().right(250)), 10000);

        const QTextDocument* document = rawPane(window)->document();
        QVERIFY(document->characterCount() <= RawPane::kMaxChars + 2);
        for (QTextBlock b = document->begin(); b.isValid(); b = b.next()) {
            // The line, its break mark, the "too long" mark before it and the block end.
            QVERIFY(b.length() <= RawPane::kMaxLineChars + 4);
        }
        QVERIFY(document->firstBlock().text().endsWith(QChar(0xAC)));
    }

    // More lines than the pane keeps: the oldest go, whole, and nothing of them is
    // kept for undoing (a day on a busy bus would otherwise fill memory).
    void paneKeepsItsLatestLinesOnly() {
        TestPty pty;
        answerSetup(pty.slavePath(), 1);
        MainWindow window;
        const int total = RawPane::kLines + 3000;
        QByteArray lines;
        for (int i = 0; i < total; ++i) {
            lines += "line " + QByteArray::number(i) + "\r\n";
        }
        QVERIFY(pty.send(lines));
        const QString last = QStringLiteral("line %1").arg(total - 1);
        QTRY_VERIFY_WITH_TIMEOUT(rawPane(window)->toPlainText().contains(last), 20000);
        const QTextDocument* document = rawPane(window)->document();
        QVERIFY2(document->blockCount() <= RawPane::kLines + 1,
                 qPrintable(QString::number(document->blockCount())));
        QVERIFY(document->firstBlock().text().startsWith(QStringLiteral("line ")));
        QCOMPARE(document->availableUndoSteps(), 0);
    }

    // Storage that cannot be created keeps Record from starting; storage that fills
    // up is reported at once, and what it holds is saved, never a partial target.
    void recordingStorageFailures() {
        TestPty pty;
        answerSetup(pty.slavePath());
        MainWindow window;

        const QByteArray tmpdir = qgetenv("TMPDIR");
        QDir(work.path()).mkdir("read-only");
        QFile::setPermissions(work.filePath("read-only"),
                              QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        // Permissions do not stop root; /proc refuses new files to anyone.
        qputenv("TMPDIR",
                ::geteuid() == 0 ? QByteArray("/proc") : work.filePath("read-only").toLocal8Bit());
        auto refused = answerBox();
        action(window, "actionRecord")->trigger();
        qputenv("TMPDIR", tmpdir);
        QVERIFY(refused->startsWith("Cannot create a temporary file for the recording.\n"));
        QVERIFY(!recording);
        expectActions(window, true, true, false);

        SmallStorage* storage = nullptr;
        window.logRecorder().setStorageFactory([&](QString&) {
            auto device = std::make_unique<SmallStorage>(20);
            device->open(QIODevice::ReadWrite);
            storage = device.get();
            return device;
        });
        action(window, "actionRecord")->trigger();
        QVERIFY(recording);
        QVERIFY(pty.send("$GPZDA*00\r\n"));
        // A wrong checksum: the pane marks the line, the recording keeps its bytes.
        QTRY_VERIFY(rawPane(window)->toPlainText().endsWith(QString("$GPZDA*00\n")));
        auto* notices = window.findChild<StatusNotices*>();
        QVERIFY(notices->isHidden());
        QVERIFY(pty.send("$GPZDA,12*00\r\n$GPZDA,13*00\r\n"));
        QTRY_VERIFY(!notices->isHidden());
        QVERIFY(notices->text().contains("No space left on device"));

        // Reading the recording back fails: named as such, the target never appears.
        const QString target = work.filePath("partial.txt");
        storage->failReads = true;
        auto readFailure = answerBox([=] { answerSave({}); });
        answerSave(target);
        action(window, "actionStop")->trigger();
        QVERIFY(readFailure->startsWith("Cannot read the recording: Input/output error"));
        QVERIFY(!QFile::exists(target));
        QCOMPARE(QDir(work.path()).entryList({"partial*"}, QDir::Files | QDir::Hidden),
                 QStringList());
        QVERIFY(notices->isHidden());

        // Saved: everything the storage took.
        action(window, "actionRecord")->trigger();
        QVERIFY(pty.send("$GPZDA,12*00\r\n$GPZDA,13*00\r\n"));
        QTRY_VERIFY(!notices->isHidden());
        answerSave(target);
        action(window, "actionStop")->trigger();
        QFile saved(target);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), QByteArray("$GPZDA,12*00\n$GPZDA,"));
    }

    // A real file on a full device: the failure comes with the system's reason, and
    // only what reached the file counts as recorded.
    void recorderOnAFullDevice() {
        LogRecorder recorder;
        recorder.setStorageFactory([](QString& error) -> std::unique_ptr<QIODevice> {
            auto file = std::make_unique<QFile>("/dev/full");
            if (!file->open(QIODevice::ReadWrite)) {
                error = file->errorString();
                return nullptr;
            }
            return file;
        });
        QString error;
        QVERIFY2(recorder.start(error), qPrintable(error));
        QVERIFY(!recorder.append("$GPZDA*00\n"));
        QCOMPARE(recorder.failure(), QString("No space left on device"));
        QCOMPARE(recorder.size(), 0);
        QVERIFY(!recorder.append("more\n"));
    }

    // The other end of the line closes: "Port lost" within a second, the pane and the
    // recording kept; a new terminal behind the same name is taken up again.
    void portLostAndBack() {
        auto pty = std::make_unique<TestPty>();
        const QString link = work.filePath("adapter");
        QVERIFY(QFile::link(pty->slavePath(), link));
        answerSetup(link);
        MainWindow window;
        window.findChild<PortWatch*>()->setRetryInterval(50);
        action(window, "actionRecord")->trigger();
        QVERIFY(pty->send("before\r\n"));
        QTRY_COMPARE(rawPane(window)->toPlainText(), QString("before\n"));

        pty.reset();
        QTRY_COMPARE_WITH_TIMEOUT(window.statusTip(),
                                  "Port lost: end of file (the other end closed the line)", 1000);
        QCOMPARE(rawPane(window)->toPlainText(), QString("before\n"));
        QVERIFY(recording);

        pty = std::make_unique<TestPty>();
        QVERIFY(QFile::remove(link) && QFile::link(pty->slavePath(), link));
        QTRY_VERIFY_WITH_TIMEOUT(window.statusTip().contains("is back"), 2000);
        QVERIFY(pty->send("after\r\n"));
        QTRY_COMPARE(rawPane(window)->toPlainText(), QString("before\nafter\n"));
        // The line state follows the returned port, not the loss.
        auto* health = window.findChild<HealthStatus*>();
        health->refresh();
        QCOMPARE(health->stateText(), QStringLiteral("Receiving"));

        const QString target = work.filePath("across-the-gap.txt");
        answerSave(target);
        action(window, "actionStop")->trigger();
        QFile saved(target);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), QByteArray("before\nafter\n"));

        // Once lost again, Setup ends the retrying.
        pty.reset();
        QTRY_VERIFY_WITH_TIMEOUT(window.findChild<PortWatch*>()->retrying(), 1000);
        answerSetup(work.filePath("no-such-port"));
        answerBox();
        action(window, "actionSetup")->trigger();
        const PortWatch* watch = window.findChild<PortWatch*>();
        QVERIFY(watch == nullptr || !watch->retrying());
    }

    // A snapshot that cannot be written is shown with its path and reason until a
    // write succeeds again.
    void snapshotFailureShownUntilMended() {
        TestPty pty;
        answerSetup(pty.slavePath());
        MainWindow window;
        auto* notices = window.findChild<StatusNotices*>();
        QFile::remove("gga.xml");
        QVERIFY(QDir(work.path()).mkdir("gga.xml"));
        QVERIFY(pty.send(kGga));
        QTRY_VERIFY(!notices->isHidden());
        QCOMPARE(notices->text(), "Cannot write " + work.filePath("gga.xml") + ": Is a directory");
        QVERIFY(QDir(work.path()).rmdir("gga.xml"));
        QVERIFY(pty.send(kGga));
        QTRY_VERIFY(notices->isHidden());
        QVERIFY(QFile::exists("gga.xml"));
    }

    // A new port starts afresh: no half sentence or AIS fragment of the old one is
    // joined to what the new one sends. A stale simulator link is never opened.
    void reopenStartsAfresh() {
        TestPty first, second;
        answerSetup(first.slavePath());
        MainWindow window;
        QVERIFY(
            first.send("!AIVDM,2,1,3,A,55?MbV02;H;s<HtKR20EHE:0@T4@"
                       "Dn2222222216L961O5Gf0NSQEp6ClRp8,0*1C\r\n$GPGG"));
        QTRY_VERIFY(receiveBuffer == "$GPGG");
        answerSetup(second.slavePath());
        action(window, "actionSetup")->trigger();
        QVERIFY(receiveBuffer.isEmpty());
        for (int slot = 0; slot < ais::kFragmentSlots; ++slot) {
            QCOMPARE(ais::aisFragmentSlot(slot).fragment_total, 0);
        }

        const QString published = work.filePath("tidewright");
        QDir(work.path()).mkdir("tidewright");
        QFile::setPermissions(
            published, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        // Made after the dialog's scan, which would have removed it.
        whenModal<setupDialog>([&](setupDialog* dialog) {
            QFile::link(second.slavePath(), published + "/sim-1");
            dialog->findChild<QComboBox*>("comboBox_port")->setEditText(published + "/sim-1");
            dialog->findChild<QPushButton*>("pushButton_enter")->click();
        });
        auto refused = answerBox();
        action(window, "actionSetup")->trigger();
        QVERIFY2(refused->endsWith("no longer running"), qPrintable(*refused));
        QVERIFY(!comOpened);
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

QTEST_MAIN(WindowRobustnessTest)
#include "tst_window_robustness.moc"
