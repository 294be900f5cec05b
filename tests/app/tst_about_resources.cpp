// The About dialog and the compiled-in resources the forms rely on.
#include <QFile>
#include <QGraphicsPixmapItem>
#include <QGraphicsView>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "app/about_dialog.h"
#include "app/main_window.h"
#include "serial/setup_dialog.h"
#include "support/modal.h"

class AboutResourcesTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { testsupport::cancelPendingModals(); }

    void initTestCase() {
        qputenv("XDG_RUNTIME_DIR", QDir::tempPath().toLocal8Bit() + "/tw-about-none");
        // The window registers the resources and installs the style sheet.
        testsupport::whenModal<setupDialog>(
            [](setupDialog* d) { d->findChild<QPushButton*>("pushButton_cancel")->click(); });
        window = std::make_unique<MainWindow>();
    }
    void cleanupTestCase() { window.reset(); }

    void iconsHaveTheirSizes_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QSize>("size");
        const QSize small(22, 22);
        const QSize large(32, 32);
        QTest::newRow("setup") << ":/icon/preferences-system.png" << small;
        QTest::newRow("exit") << ":/icon/button_cancel.png" << small;
        QTest::newRow("record") << ":/icon/player_play.png" << large;
        QTest::newRow("stop") << ":/icon/player_stop.png" << large;
        QTest::newRow("clear") << ":/icon/eraser.png" << large;
        QTest::newRow("about") << ":/icon/messagebox_info.png" << large;
        QTest::newRow("logo, colon-relative") << ":icon/logo.png" << QSize(112, 60);
        QTest::newRow("network") << ":/icon/preferences-system-network.png" << small;
        QTest::newRow("idle") << ":/icon/network-idle.png" << small;
        QTest::newRow("help") << ":/icon/help.png" << large;
        QTest::newRow("save") << ":/icon/linguist-filesave.png" << large;
    }
    void iconsHaveTheirSizes() {
        QFETCH(QString, path);
        QFETCH(QSize, size);
        const QImage image(path);
        QVERIFY2(!image.isNull(), qPrintable(path));
        QCOMPARE(image.size(), size);
    }

    void styleSheetInstalled() {
        QFile css(":css.qss");
        QVERIFY(css.open(QIODevice::ReadOnly));
        const QByteArray text = css.readAll();
        QVERIFY(text.contains("\r\n"));
        QCOMPARE(text.count("\r\n"), text.count("\n"));  // CR LF line ends only
        QCOMPARE(qApp->styleSheet(), QString::fromLatin1(text));
    }

    void aboutDialogClosesRejectedAndIsDeleted() {
        QString title;
        QSize size;
        bool logoShown = false;
        QString notice;
        QString link;
        bool externalLinks = false;
        int result = -1;
        auto handled = testsupport::whenModal<aboutDialog>([&](aboutDialog* d) {
            title = d->windowTitle();
            size = d->size();
            auto* view = d->findChild<QGraphicsView*>("graphicsView");
            for (QGraphicsItem* item : view->scene()->items()) {
                auto* pixmap = dynamic_cast<QGraphicsPixmapItem*>(item);
                logoShown = logoShown || (pixmap && pixmap->pixmap().size() == QSize(112, 60));
            }
            QVERIFY(view->horizontalScrollBarPolicy() == Qt::ScrollBarAlwaysOff);
            QVERIFY(view->verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOff);
            notice = d->findChild<QLabel*>("label_2")->text();
            link = d->findChild<QLabel*>("label_4")->text();
            externalLinks = d->findChild<QLabel*>("label_4")->openExternalLinks();
            QObject::connect(d, &QDialog::finished, [&](int r) { result = r; });
            d->findChild<QPushButton*>("pushButton")->click();
        });
        window->findChild<QAction*>("actionAbout")->trigger();
        QVERIFY(*handled);
        QCOMPARE(title, QString("About"));
        QCOMPARE(size, QSize(358, 217));
        QVERIFY(logoShown);
        QVERIFY(notice.contains("Brinevale"));
        QVERIFY(notice.contains(QRegularExpression("\\b(19|20)\\d\\d\\b")));
        QVERIFY(link.contains("example.org"));
        QVERIFY(externalLinks);
        QCOMPARE(result, int(QDialog::Rejected));
        QVERIFY(window->findChildren<aboutDialog*>().isEmpty());
        const QWidgetList tops = QApplication::topLevelWidgets();
        QCOMPARE(std::count_if(tops.begin(), tops.end(),
                               [](QWidget* w) { return qobject_cast<aboutDialog*>(w) != nullptr; }),
                 0);
    }

private:
    std::unique_ptr<MainWindow> window;
};

QTEST_MAIN(AboutResourcesTest)
#include "tst_about_resources.moc"
