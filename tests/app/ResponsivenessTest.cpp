// The window keeps running while it waits on a printer, and a long wait can be cancelled.
// These run with the product's own link time-outs.
#include "gui/command/CommandToolPage.h"
#include "gui/link/FormProcessFactory.h"
#include "gui/link/TFormProcess.h"
#include "link/EventPump.h"
#include "link/FixedText.h"
#include "MainWindowFixture.h"
#include "PtyServer.h"
#include "TcpServer.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

namespace {

class Responsive : public MainWindowFixture {
protected:
    void SetUp() override {
        Start();
        // As the program runs it: the window runs between the slices of every wait.
        link.SetProcessEventsHook(EventPump{});
        progress.SetViewFactory(&views);
        std::string error;
        ASSERT_TRUE(server.Start(&error)) << error;
        window->UseEthernetPrinter(QStringLiteral("127.0.0.1"), server.Port());
    }
    void TearDown() override { link.SetProcessEventsHook({}); }

    void Silence() {
        const auto lock = printer.Lock();
        printer.faults.silent = true;
    }

    // The visible "Cancel" of a communicating window, if one is up.
    static QPushButton* OfferedCancel() {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (auto* form = qobject_cast<TFormProcess*>(top);
                form && form->isVisible() && form->ButtonCancel->isVisible())
                return form->ButtonCancel;
        }
        return nullptr;
    }

    // Presses "Get Status" and "Cancel" as soon as it is offered. Meanwhile a 20 ms timer
    // counts how often the event loop ran; returns the milliseconds from the press of
    // Cancel until the window was enabled again (-1: Cancel was never offered).
    qint64 GetStatusAndCancel() {
        ticks = 0;
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout, [this] { ++ticks; });
        ticker.start(20);
        QElapsedTimer sinceCancel;
        QTimer watcher;
        QObject::connect(&watcher, &QTimer::timeout, [&] {
            if (QPushButton* cancel = OfferedCancel(); cancel && !sinceCancel.isValid()) {
                EXPECT_FALSE(window->isEnabled());
                sinceCancel.start();
                cancel->click();
            }
        });
        watcher.start(30);
        window->ButtonGetStatus->click();
        return sinceCancel.isValid() ? sinceCancel.elapsed() : -1;
    }

    FormProcessFactory views;
    sim::TcpServer server{printer};
    int ticks = 0;
};

TEST_F(Responsive, ASilentPrinterOffersCancelAndTheWindowRunsUntilThen) {
    // A printer that answers at once offers nothing.
    window->ButtonGetStatus->click();
    EXPECT_EQ(window->EditPrinterStatus->text(), QStringLiteral("Ready"));
    EXPECT_EQ(progress.CancelWindow(), nullptr);

    Silence();
    const qint64 cancelToEnabled = GetStatusAndCancel();
    ASSERT_GE(cancelToEnabled, 0) << "Cancel was never offered";
    EXPECT_LT(cancelToEnabled, 5000);
    // The second that passed before the offer was spent with the event loop running.
    EXPECT_GE(ticks, 10);
    EXPECT_EQ(prompter.Messages(), QStringList{QStringLiteral("Data Receiving Error")});
    EXPECT_TRUE(window->isEnabled());
    EXPECT_EQ(window->EditPrinterStatus->text(), QStringLiteral("Ready"));
    EXPECT_EQ(OfferedCancel(), nullptr);
    EXPECT_FALSE(progress.CancelOffered());
}

TEST_F(Responsive, CancelEndsAWaitOnTheSerialLink) {
    sim::PtyServer pty{printer};
    std::string error;
    ASSERT_TRUE(pty.Start(&error)) << error;
    ASSERT_EQ(StoreFixedText(window->Records().Com.portName,
                             QString::fromStdString(pty.SlavePath()), FixedTextKind::Local),
              FixedTextResult::Stored);
    Choose(window->ComboBoxInterFace, InterfaceCom);
    Silence();
    const qint64 cancelToEnabled = GetStatusAndCancel();
    ASSERT_GE(cancelToEnabled, 0) << "Cancel was never offered";
    EXPECT_LT(cancelToEnabled, 5000);
    EXPECT_EQ(prompter.Messages(), QStringList{QStringLiteral("Data Receiving Error")});
    EXPECT_TRUE(window->isEnabled());
}

TEST_F(Responsive, TheReplyViewAnswersAfterTheQuietTimeNotTheLinkWait) {
    CommandToolPage* page = window->CommandTool;
    page->CheckBoxShowReplies->setChecked(true);
    page->RichEditTText->setPlainText(QStringLiteral("DIAGNOSTIC REPORT VERSION\n"));
    QElapsedTimer took;
    took.start();
    page->ButtonSend->click();
    // The collection ends 300 ms after the last byte (2 s at most), not after the 30 s
    // read wait of the link.
    EXPECT_LT(took.elapsed(), 10000);
    EXPECT_TRUE(page->MemoReplies->toPlainText().contains(QStringLiteral("VP-")))
        << page->MemoReplies->toPlainText().toStdString();
    EXPECT_TRUE(prompter.Messages().isEmpty());
}

} // namespace
