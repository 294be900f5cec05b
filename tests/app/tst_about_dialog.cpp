// The about dialog shows the version this build was made with, not a copy kept in its form.
#include <QLabel>
#include <QTest>
#include <QTextDocument>

#include "app/about_dialog.h"
#include "tidewright/version.h"

class AboutDialogTest : public QObject {
    Q_OBJECT

private slots:
    void showsTheBuildsVersion() {
        aboutDialog dialog;
        auto* label = dialog.findChild<QLabel*>(QStringLiteral("label_5"));
        QVERIFY(label != nullptr);
        QTextDocument shown;
        shown.setHtml(label->text());
        QCOMPARE(shown.toPlainText(), QStringLiteral("Ver ") + QLatin1String(tidewright::kVersion));
    }
};

QTEST_MAIN(AboutDialogTest)
#include "tst_about_dialog.moc"
