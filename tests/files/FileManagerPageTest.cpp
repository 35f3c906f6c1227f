#include "gui/files/FileManagerPage.h"
#include "files/FileTypes.h"
#include "MainWindowFixture.h"

#include "gui/kit/QtPrompter.h"
#include "gui/kit/RadioGroup.h"
#include "MemoryModule.h"
#include "PasswordModule.h"
#include "Screenshot.h"

#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>

namespace {

class FileManager : public MainWindowFixture {
protected:
    void SetUp() override {
        Start(QLocale(QLocale::English, QLocale::UnitedStates), true);
        page = window->FileManager;
        printer.ClearReceived();
    }

    // Chooses the file type and browses to the file.
    void Browse(int fileType, const QString& path) {
        Choose(page->ComboBoxFileType, fileType);
        prompter.fileAnswers.push_back(path);
        page->ButtonBrowse->click();
    }

    sim::MemoryModule& Memory() { return *printer.Module<sim::MemoryModule>(); }

    QStringList ListedFiles() const {
        QStringList names;
        for (int i = 0; i < page->ListBoxFileList->count(); ++i)
            names << page->ListBoxFileList->item(i)->text();
        return names;
    }

    bool ReceivedDownload() const {
        return printer.Received().find("DOWNLOAD") != std::string::npos;
    }

    FileManagerPage* page = nullptr;
};

TEST_F(FileManager, GetListsTheThreeMemories) {
    {
        auto lock = printer.Lock();
        Memory().Store(sim::MemoryModule::Dram, "LOGO.BMP", std::string(3000, 'b'));
        Memory().Store(sim::MemoryModule::Flash, "AUTO.BAS", "CLS\r\n");
        Memory().Store(sim::MemoryModule::Flash, "DATA", "1");
        Memory().Store(sim::MemoryModule::Card, "FONT.TTF", "f");
    }
    page->ButtonGet->click();
    EXPECT_TRUE(prompter.Messages().isEmpty());
    // FLASH is shown first.
    EXPECT_EQ(ListedFiles(), (QStringList{QStringLiteral("AUTO.BAS"), QStringLiteral("DATA")}));
    EXPECT_EQ(page->EditPhysicalSpace->text(), QStringLiteral("4096"));
    EXPECT_EQ(page->EditFreeSpace->text(), QStringLiteral("4094"));

    page->RadioGroupDevice->ItemButton(MemoryDram)->click();
    EXPECT_EQ(ListedFiles(), QStringList{QStringLiteral("LOGO.BMP")});
    EXPECT_EQ(page->EditFreeSpace->text(), QStringLiteral("2045"));

    printer.ClearReceived();
    page->RadioGroupDevice->ItemButton(MemoryCard)->click();
    EXPECT_EQ(ListedFiles(), QStringList{QStringLiteral("FONT.TTF")});
    EXPECT_EQ(page->EditPhysicalSpace->text(), QStringLiteral("65536"));
    EXPECT_EQ(page->EditFreeSpace->text(), QString());
    // Showing another memory never asks the printer.
    EXPECT_TRUE(printer.Received().empty());
}

TEST_F(FileManager, BrowseFormsThePrinterName) {
    const QString path = MakeFile(QStringLiteral("LONGFILENAME.bmp"), QByteArray(1234, 'x'));
    Browse(FileTypeBmp, path);
    EXPECT_EQ(prompter.prompts.back().fileOptions.filter,
              QStringLiteral("*.BMP|*.BMP;*.bmp|*.*|*.*"));
    EXPECT_EQ(page->EditFileName->text(), QStringLiteral("LONGFILE.BMP"));
    EXPECT_EQ(page->EditFileSize->text(), QStringLiteral("1234"));
    EXPECT_TRUE(page->ButtonDownload->isEnabled());

    Browse(FileTypeData, path);
    EXPECT_EQ(page->EditFileName->text(), QStringLiteral("LONGFILE"));

    // True Type fonts are looked for in the system's font folder.
    Browse(FileTypeTrueTypeFont, path);
    EXPECT_EQ(prompter.prompts.back().fileOptions.initialDirectory, SystemFontFolder());
    EXPECT_FALSE(prompter.prompts.back().fileOptions.initialDirectory.isEmpty());

    // A Browse cancelled after a good one leaves Download disabled.
    Choose(page->ComboBoxFileType, FileTypeData);
    prompter.fileAnswers.push_back(std::nullopt);
    page->ButtonBrowse->click();
    EXPECT_FALSE(page->ButtonDownload->isEnabled());

    Browse(FileTypeData, dir.filePath(QStringLiteral("missing.dat")));
    EXPECT_EQ(prompter.Messages(), QStringList{QStringLiteral("Open File Error")});
    EXPECT_FALSE(page->ButtonDownload->isEnabled());
    EXPECT_TRUE(printer.Received().empty());
}

TEST_F(FileManager, DownloadTakesTwelveCharactersNotThirteen) {
    Browse(FileTypeData, MakeFile(QStringLiteral("label.prn"), "0123456789"));
    page->EditFileName->setText(QStringLiteral("ABCDEFGHIJKLM"));
    page->ButtonDownload->click();
    EXPECT_EQ(prompter.Messages(), QStringList{QStringLiteral("File name too long")});
    EXPECT_TRUE(printer.Received().empty());

    prompter.Clear();
    page->EditFileName->setText(QStringLiteral("ABCDEFGH.PRN"));
    page->ButtonDownload->click();
    EXPECT_TRUE(prompter.Messages().isEmpty());
    EXPECT_NE(printer.Received().find("DOWNLOAD F,\"ABCDEFGH.PRN\",10,0123456789"),
              std::string::npos);
    auto lock = printer.Lock();
    ASSERT_NE(Memory().Find(sim::MemoryModule::Flash, "ABCDEFGH.PRN"), nullptr);

    lock.unlock();
    Choose(page->ComboBoxDevice, MemoryDram);
    page->ButtonDownload->click();
    EXPECT_NE(printer.Received().find("DOWNLOAD \"ABCDEFGH.PRN\",10,"), std::string::npos);
}

TEST_F(FileManager, FirmwareGoesRawWithItsMessage) {
    QByteArray firmware;
    for (int i = 0; i < 70000; ++i)
        firmware += static_cast<char>(i * 7);
    Browse(FileTypeBmp, MakeFile(QStringLiteral("MAIN.NEW"), firmware));
    // The type chosen after browsing decides the path.
    Choose(page->ComboBoxFileType, FileTypeFirmware);
    page->ButtonDownload->click();
    EXPECT_EQ(prompter.Messages(),
              QStringList{QStringLiteral("Please Wait Led change to Green...")});
    const std::string received = printer.Received();
    ASSERT_GE(received.size(), static_cast<size_t>(firmware.size()));
    EXPECT_EQ(received.substr(received.size() - firmware.size()), firmware.toStdString());
    EXPECT_FALSE(ReceivedDownload());
    EXPECT_TRUE(window->isEnabled());
}

TEST_F(FileManager, AFileThatWentAwaySendsNothing) {
    const QString path = MakeFile(QStringLiteral("gone.bas"), "CLS\r\n");
    for (int type : {FileTypeBasic, FileTypeTcf}) {
        Browse(type, path);
        ASSERT_TRUE(page->ButtonDownload->isEnabled());
        QFile::remove(path);
        prompter.Clear();
        printer.ClearReceived();
        page->ButtonDownload->click();
        EXPECT_EQ(prompter.Messages(), QStringList{QStringLiteral("Open File Error")});
        EXPECT_TRUE(printer.Received().empty());
        MakeFile(QStringLiteral("gone.bas"), "CLS\r\n");
    }
}

TEST_F(FileManager, FormatAsksFirstAndThenThePassword) {
    {
        auto lock = printer.Lock();
        printer.Module<sim::PasswordModule>()->password = "Secret";
    }
    page->RadioGroupFormatDevice->ItemButton(MemoryCard)->click();
    prompter.confirmAnswers.push_back(false);
    page->ButtonFileFormat->click();
    ASSERT_EQ(prompter.prompts.size(), 1u);
    EXPECT_EQ(prompter.prompts[0].text, QStringLiteral("Are you sure?"));
    EXPECT_TRUE(printer.Received().empty());

    prompter.confirmAnswers.push_back(true);
    window->SetDialogRunner([](QDialog& dialog) {
        dialog.findChild<QLineEdit*>(QStringLiteral("EditPassword"))
            ->setText(QStringLiteral("Secret"));
        dialog.findChild<QPushButton*>(QStringLiteral("ButtonOK"))->click();
        return dialog.result();
    });
    page->ButtonFileFormat->click();
    const std::vector<std::string> commands = printer.Commands();
    ASSERT_FALSE(commands.empty());
    EXPECT_EQ(commands.back(), "KILL E,\"*.*\"");
}

TEST_F(FileManager, FontViewKeepsTheChosenFont) {
    EXPECT_EQ(window->Records().CurrentFont.family(), QStringLiteral("Arial"));
    EXPECT_EQ(window->Records().CurrentFont.pixelSize(), 13);
    QFont chosen(QStringLiteral("DejaVu Serif"));
    chosen.setPixelSize(20);
    prompter.fontAnswers.push_back(chosen);
    page->ButtonFontView->click();
    prompter.fontAnswers.push_back(std::nullopt);
    page->ButtonFontView->click();
    EXPECT_EQ(window->Records().CurrentFont, chosen);
    EXPECT_TRUE(printer.Received().empty());
}

} // namespace

namespace {

TEST_F(FileManager, ScreenshotsInEachLanguage) {
    {
        auto lock = printer.Lock();
        Memory().Store(sim::MemoryModule::Flash, "AUTO.BAS", std::string(2100, 'a'));
        Memory().Store(sim::MemoryModule::Flash, "LOGO.BMP", std::string(5000, 'b'));
        Memory().Store(sim::MemoryModule::Flash, "TST24.BF2", std::string(9000, 'c'));
        Memory().Store(sim::MemoryModule::Dram, "DATA.TXT", "1");
    }
    Browse(FileTypeBmp, MakeFile(QStringLiteral("company_logo.bmp"), QByteArray(24630, 'x')));
    page->ButtonGet->click();
    window->PageControl1->setCurrentIndex(1);
    for (int language = 0; language < 3; ++language) {
        Choose(window->ComboBoxLanguage, language);
        SaveScreenshot(*window, QStringLiteral("file_manager_") + LanguageSuffix(language));
    }
    EXPECT_TRUE(prompter.Messages().isEmpty());
}

} // namespace

namespace {

TEST_F(FileManager, FilesBeyondWhatTheOperationHoldsSendNothing) {
    // Sparse files: their size without their bytes.
    const QString firmware = MakeFile(QStringLiteral("BIG.NEW"), QByteArray());
    ASSERT_TRUE(QFile::resize(firmware, qint64{1} << 31));
    const QString data = MakeFile(QStringLiteral("BIG.DAT"), QByteArray());
    ASSERT_TRUE(QFile::resize(data, (qint64{1} << 32) + 1));

    Browse(FileTypeFirmware, firmware);
    page->ButtonDownload->click();
    Browse(FileTypeData, data);
    // Only the low 32 bits of the size are shown.
    EXPECT_EQ(page->EditFileSize->text(), QStringLiteral("1"));
    page->ButtonDownload->click();
    EXPECT_EQ(prompter.Messages(),
              (QStringList{QStringLiteral("File too large"), QStringLiteral("File too large")}));
    EXPECT_TRUE(printer.Received().empty());
}

} // namespace

namespace {

TEST(FileDialogFilters, EveryFileMeansNamesWithoutADotToo) {
    EXPECT_EQ(QtPrompter::NameFilters(QString::fromLatin1(FileTypeAt(FileTypeBmp).filter)),
              (QStringList{QStringLiteral("*.BMP (*.BMP *.bmp)"), QStringLiteral("*.* (*)")}));
    EXPECT_EQ(QtPrompter::NameFilters(QString::fromLatin1(FileTypeAt(FileTypeBitmapFont).filter)),
              QStringList{QStringLiteral("*.* (*)")});
}

} // namespace
