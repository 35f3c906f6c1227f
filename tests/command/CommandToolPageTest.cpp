#include "gui/command/CommandToolPage.h"
#include "gui/files/FileManagerPage.h"
#include "MainWindowFixture.h"

#include "gui/kit/RadioGroup.h"
#include "Screenshot.h"

#include <QCheckBox>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>

#include <cstdio>

namespace {

class CommandTool : public MainWindowFixture {
protected:
    void SetUp() override {
        Start(QLocale(QLocale::English, QLocale::UnitedStates), true);
        page = window->CommandTool;
        printer.ClearReceived();
    }

    void Load(const QString& path) {
        prompter.fileAnswers.push_back(path);
        page->ButtonLoadFile->click();
    }

    QByteArray Save() {
        const QString path = dir.filePath(QStringLiteral("saved.txt"));
        prompter.fileAnswers.push_back(path);
        page->ButtonSaveFile->click();
        return ReadFile(path);
    }

    void SelectBuffer(int index) { page->RadioGroupSelect->ItemButton(index)->click(); }
    QString EditorText() const { return page->RichEditTText->toPlainText(); }

    CommandToolPage* page = nullptr;
};

TEST_F(CommandTool, BuffersKeepTheirTexts) {
    page->RichEditTText->setPlainText(QStringLiteral("SPEED 4"));
    SelectBuffer(1);
    EXPECT_TRUE(EditorText().isEmpty());
    page->RichEditTText->setPlainText(QStringLiteral("DENSITY 8"));
    // The item already shown changes nothing.
    SelectBuffer(1);
    EXPECT_EQ(EditorText(), QStringLiteral("DENSITY 8"));
    SelectBuffer(0);
    EXPECT_EQ(EditorText(), QStringLiteral("SPEED 4"));
    SelectBuffer(1);
    EXPECT_EQ(EditorText(), QStringLiteral("DENSITY 8"));
    EXPECT_EQ(window->Records().Editors.shown, 1);
}

TEST_F(CommandTool, SendTakesTheSelectionOrTheWholeTextWithTheWindowEnabled) {
    bool enabledWhileSending = false;
    // A click elsewhere while the text goes out starts no second operation.
    link.SetProcessEventsHook([&] {
        enabledWhileSending = window->isEnabled();
        window->ButtonGetStatusClick();
    });
    page->RichEditTText->setPlainText(
        QStringLiteral("CLS\nTEXT 10,10,\"3\",0,1,1,\"中\"\nPRINT 1"));
    page->ButtonSend->click();
    EXPECT_EQ(printer.Received(), "CLS\r\nTEXT 10,10,\"3\",0,1,1,\"\xE4\xB8\xAD\"\r\nPRINT 1");
    EXPECT_TRUE(enabledWhileSending);
    EXPECT_TRUE(prompter.Messages().isEmpty());
    EXPECT_EQ(printer.Received().find("\x1b!?"), std::string::npos);
    link.SetProcessEventsHook({});

    printer.ClearReceived();
    QTextCursor cursor = page->RichEditTText->textCursor();
    cursor.setPosition(2);
    cursor.setPosition(12, QTextCursor::KeepAnchor);
    page->RichEditTText->setTextCursor(cursor);
    page->ButtonSend->click();
    EXPECT_EQ(printer.Received(), "S\r\nTEXT 10,");
}

TEST_F(CommandTool, SendOfAnEmptyEditorSendsNothingAndSucceeds) {
    page->ButtonSend->click();
    EXPECT_TRUE(prompter.Messages().isEmpty());
    EXPECT_TRUE(printer.Received().empty());
}

TEST_F(CommandTool, LoadAppendsAndSaveWritesTheText) {
    const QString path = MakeFile(QStringLiteral("speed.txt"), "SPEED 4\r\n");
    Load(path);
    Load(path);
    EXPECT_EQ(EditorText(), QStringLiteral("SPEED 4\nSPEED 4\n"));
    EXPECT_EQ(Save(), QByteArray("SPEED 4\r\nSPEED 4\r\n"));

    // A zero byte ends what Load takes; Send File sends the file whole.
    page->RichEditTText->clear();
    const QByteArray withZero("AB\0CD", 5);
    const QString zeroPath = MakeFile(QStringLiteral("zero.bin"), withZero);
    Load(zeroPath);
    EXPECT_EQ(EditorText(), QStringLiteral("AB"));
    prompter.fileAnswers.push_back(zeroPath);
    page->ButtonSendFile->click();
    EXPECT_EQ(printer.Received(), withZero.toStdString());

    prompter.fileAnswers.push_back(dir.filePath(QStringLiteral("none")));
    page->ButtonSendFile->click();
    EXPECT_EQ(prompter.Messages(), QStringList{QStringLiteral("Open file Error!!!")});

    // A save that cannot be written is said so, not taken for done.
    prompter.fileAnswers.push_back(dir.filePath(QStringLiteral("missing/saved.txt")));
    page->ButtonSaveFileClick();
    EXPECT_EQ(prompter.Messages(), (QStringList{QStringLiteral("Open file Error!!!"),
                                                QStringLiteral("Save File Error")}));
}

TEST_F(CommandTool, FilesThatBreakOffAreReportedAndNotTakenForRead) {
    // The process's own memory opens but cannot be read from its start.
    const QString unreadable = QStringLiteral("/proc/self/mem");
    page->RichEditTText->setPlainText(QStringLiteral("SPEED 4"));
    Load(unreadable);
    EXPECT_EQ(prompter.Messages(), QStringList{QStringLiteral("Open file Error!!!")});
    EXPECT_EQ(EditorText(), QStringLiteral("SPEED 4"));

    prompter.fileAnswers.push_back(unreadable);
    page->ButtonSendFile->click();
    EXPECT_EQ(prompter.Messages(), QStringList(2, QStringLiteral("Open file Error!!!")));
    EXPECT_TRUE(printer.Received().empty());

    // A file that cannot be opened at all stays silent, as the tool always has.
    Load(dir.filePath(QStringLiteral("none")));
    EXPECT_EQ(prompter.Messages().size(), 2);
}

TEST_F(CommandTool, LoadedFilesSaveAndSendAsTheirOwnBytes) {
    QByteArray every;
    for (int b = 1; b <= 255; ++b)
        every += static_cast<char>(b);
    const QByteArray files[] = {
        QByteArray("TEXT 10,10,\"TST24.BF2\",0,1,1,\"\xA4\xA4\xA4\xE5\"\r\nPRINT 1\r\n"),
        QByteArray("TEXT 10,10,\"0\",0,1,1,\"\xE4\xB8\xAD\xE6\x96\x87\"\nPRINT 1\r\n"),
        every,
    };
    int n = 0;
    for (const QByteArray& bytes : files) {
        SelectBuffer(++n);
        Load(MakeFile(QStringLiteral("f%1").arg(n), bytes));
        EXPECT_EQ(Save(), bytes) << n;
        printer.ClearReceived();
        page->ButtonSend->click();
        EXPECT_EQ(printer.Received(), bytes.toStdString()) << n;
    }
    // The UTF-8 text shows its characters; switching away and back keeps the bytes.
    SelectBuffer(2);
    EXPECT_TRUE(EditorText().contains(QStringLiteral("中文")));
    SelectBuffer(3);
    EXPECT_EQ(Save(), every);

    // Text typed before a file that is not UTF-8 keeps its bytes too.
    SelectBuffer(4);
    page->RichEditTText->setPlainText(QStringLiteral("; 中\n"));
    Load(MakeFile(QStringLiteral("big5"), files[0]));
    EXPECT_EQ(Save(), QByteArray("; \xE4\xB8\xAD\r\n") + files[0]);
}

TEST_F(CommandTool, RepliesAreShownWhenAsked) {
    page->RichEditTText->setPlainText(
        QStringLiteral("OUT _SERIAL$\nDIAGNOSTIC REPORT DPHYSPACE\n"));
    page->ButtonSend->click();
    EXPECT_TRUE(page->MemoReplies->toPlainText().isEmpty());
    EXPECT_FALSE(page->MemoReplies->isEnabled());

    page->CheckBoxShowReplies->click();
    page->ButtonSend->click();
    EXPECT_EQ(page->MemoReplies->toPlainText(),
              QString::fromStdString(printer.serialNumber) + QStringLiteral("\n{2048}"));
    EXPECT_TRUE(prompter.Messages().isEmpty());

    // Over the parallel port the text goes out and nothing is read.
    const QString device = MakeFile(QStringLiteral("lp"), QByteArray());
    std::snprintf(window->Lpt().text, sizeof window->Lpt().text, "%s",
                  device.toLocal8Bit().constData());
    Choose(window->ComboBoxInterFace, InterfaceLpt);
    page->ButtonSend->click();
    EXPECT_TRUE(page->MemoReplies->toPlainText().isEmpty());
    EXPECT_EQ(ReadFile(device), QByteArray("OUT _SERIAL$\r\nDIAGNOSTIC REPORT DPHYSPACE\r\n"));
}

} // namespace

namespace {

TEST_F(CommandTool, ScreenshotsInEachLanguage) {
    page->RichEditTText->setPlainText(QStringLiteral(
        "SIZE 100 mm,50 mm\nGAP 3 mm,0\nCLS\n"
        "TEXT 40,40,\"TST24.BF2\",0,1,1,\"品名：標籤印表機\"\n"
        "BARCODE 40,120,\"128\",80,1,0,2,2,\"T0001\"\nPRINT 1\n\n"
        "OUT _SERIAL$\nDIAGNOSTIC REPORT DPHYSPACE\nDIAGNOSTIC REPORT FFREESPACE\n"));
    SelectBuffer(2);
    page->RichEditTText->setPlainText(QStringLiteral("SPEED 4"));
    SelectBuffer(0);
    page->CheckBoxShowReplies->click();
    QTextCursor cursor = page->RichEditTText->textCursor();
    cursor.movePosition(QTextCursor::End);
    cursor.movePosition(QTextCursor::PreviousBlock, QTextCursor::KeepAnchor, 3);
    page->RichEditTText->setTextCursor(cursor);
    page->ButtonSend->click();
    window->PageControl1->setCurrentIndex(3);
    for (int language = 0; language < 3; ++language) {
        Choose(window->ComboBoxLanguage, language);
        SaveScreenshot(*window, QStringLiteral("command_tool_") + LanguageSuffix(language));
    }
    EXPECT_TRUE(prompter.Messages().isEmpty());
}

} // namespace

namespace {

TEST_F(CommandTool, TheEditorHoldsAtMostItsLimit) {
    const qsizetype limit = CommandToolPage::kMaxEditorCharacters;
    Load(MakeFile(QStringLiteral("long.txt"), QByteArray(limit - 2, 'a')));
    Load(MakeFile(QStringLiteral("more.txt"), "bcde"));
    EXPECT_EQ(page->RichEditTText->document()->characterCount() - 1, limit);
    EXPECT_TRUE(EditorText().endsWith(QStringLiteral("abc")));
    page->RichEditTText->moveCursor(QTextCursor::End);
    page->RichEditTText->insertPlainText(QStringLiteral("xyz"));
    EXPECT_EQ(page->RichEditTText->document()->characterCount() - 1, limit);
    EXPECT_TRUE(EditorText().endsWith(QStringLiteral("abc")));

    // Send File refuses what operation 14 cannot count, without reading it.
    const QString big = MakeFile(QStringLiteral("big.bin"), QByteArray());
    ASSERT_TRUE(QFile::resize(big, qint64{1} << 31));
    printer.ClearReceived();
    prompter.fileAnswers.push_back(big);
    page->ButtonSendFile->click();
    EXPECT_EQ(prompter.Messages(), QStringList{QStringLiteral("File too large")});
    EXPECT_TRUE(printer.Received().empty());
}

} // namespace

namespace {

TEST_F(CommandTool, CaptionsOfBothPagesInTheThreeLanguages) {
    for (const MainPage* shown : {static_cast<MainPage*>(window->FileManager),
                                  static_cast<MainPage*>(window->CommandTool)}) {
        for (const CaptionEntry& entry : shown->Captions())
            EXPECT_NE(window->findChild<QWidget*>(QString::fromLatin1(entry.control)), nullptr)
                << entry.control;
    }
    const char* const replies[] = {"Show printer replies", "顯示印表機回應", "显示打印机回应"};
    const char* const sendFile[] = {"Send File", "傳送檔案", "传送档案"};
    for (int language : {1, 2, 0}) {
        Choose(window->ComboBoxLanguage, language);
        EXPECT_EQ(page->CheckBoxShowReplies->text(), QString::fromUtf8(replies[language]));
        EXPECT_EQ(page->ButtonSendFile->text(), QString::fromUtf8(sendFile[language]));
    }
    // The texts are not touched by a language change.
    EXPECT_TRUE(EditorText().isEmpty());
}

} // namespace
