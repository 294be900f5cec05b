// A status label whose text ticks is repainted without asking its window for a new
// layout; a text that needs more room still gets it.
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QTest>

#include "app/steady_label.h"

namespace {

// Counts the layout requests a widget receives.
class LayoutRequests : public QObject {
public:
    int count = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        count += event->type() == QEvent::LayoutRequest ? 1 : 0;
        return false;
    }
};

}  // namespace

class SteadyLabelTest : public QObject {
    Q_OBJECT

private slots:
    void tickingTextKeepsTheLayout() {
        QWidget bar;
        auto* layout = new QHBoxLayout(&bar);
        auto* label = new QLabel(&bar);
        layout->addWidget(label);
        bar.show();
        QVERIFY(QTest::qWaitForWindowExposed(&bar));
        setSteadyText(label, QStringLiteral("9.2 sentences/s"));
        QCoreApplication::processEvents();
        const int width = label->width();

        LayoutRequests requests;
        bar.installEventFilter(&requests);
        for (const char* text : {"9.3 sentences/s", "9.1 sentences/s", "1.0 sentences/s"}) {
            setSteadyText(label, QString::fromLatin1(text));
            QCoreApplication::processEvents();
            QCOMPARE(label->text(), QString::fromLatin1(text));
        }
        QCOMPARE(requests.count, 0);
        QCOMPARE(label->width(), width);

        // A longer text widens the label (one new layout); a shorter one keeps it.
        setSteadyText(label, QStringLiteral("No valid sentences — wrong speed?"));
        QCoreApplication::processEvents();
        QVERIFY(requests.count > 0);
        QVERIFY(label->width() >= label->sizeHint().width());
        QVERIFY(label->width() > width);
        const int wide = label->width();
        setSteadyText(label, QStringLiteral("Receiving"));
        QCoreApplication::processEvents();
        QCOMPARE(label->width(), wide);
    }
};

QTEST_MAIN(SteadyLabelTest)
#include "tst_steady_label.moc"
