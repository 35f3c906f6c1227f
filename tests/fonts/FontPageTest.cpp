#include "FontTestFont.h"
#include "MainWindowFixture.h"
#include "MemoryModule.h"
#include "PasswordModule.h"
#include "Screenshot.h"

#include "fonts/AsianLayout.h"
#include "fonts/CodePageConverter.h"
#include "fonts/FontPreview.h"
#include "gui/fonts/FontManagerPage.h"
#include "gui/fonts/TFormPreviewFont.h"
#include "gui/kit/RadioGroup.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <optional>

namespace {

class FontPageTest : public MainWindowFixture {
protected:
    void SetUp() override {
        ASSERT_TRUE(directory.isValid());
        // The start-up directory is where the download's Temp.BMF goes.
        previous = QDir::currentPath();
        QDir::setCurrent(directory.path());
        Start(QLocale(QLocale::English, QLocale::UnitedStates), true);
        QDir::setCurrent(previous);
        page = window->FontManager;
    }

    QString Path(const QString& name) const { return directory.filePath(name); }

    // Save Font into a file of the test directory; returns the file, empty when none.
    QByteArray SaveFont(const QString& name = QStringLiteral("SAVED.BMF")) {
        prompter.fileAnswers.push_back(Path(name));
        page->ButtonSaveFont->click();
        return ReadWholeFile(Path(name));
    }

    void SelectFont(const QFont& font) {
        prompter.fontAnswers.push_back(font);
        page->ButtonSelectFont->click();
    }

    QTemporaryDir directory;
    QString previous;
    FontManagerPage* page = nullptr;
};

TEST_F(FontPageTest, StartsWithTheDialogFontAndStandardChoices) {
    EXPECT_EQ(page->ComboBoxFontEncode->currentIndex(), 0);
    EXPECT_EQ(page->ComboBoxFontPitch->currentIndex(), 1);
    EXPECT_EQ(page->ComboBoxMemoryDevice->currentText(), QStringLiteral("FLASH"));
    EXPECT_EQ(page->EditCharStart->text(), QStringLiteral("32"));
    EXPECT_EQ(page->EditCharEnd->text(), QStringLiteral("127"));
    EXPECT_EQ(page->RadioGroupAsiaFontEncode->ItemIndex(), 0);
    EXPECT_EQ(page->EditWinFontName->text(), QStringLiteral("Arial"));
    EXPECT_EQ(page->EditWinFontSize->text(), QStringLiteral("10"));
    EXPECT_EQ(page->EditPrinterFontName->text(), QStringLiteral("FONT001"));
    EXPECT_EQ(page->EditItalicWidth->text(), QStringLiteral("0"));
    const QFontMetrics metrics(window->Records().CurrentFont, &page->ImageGet.Image());
    EXPECT_EQ(page->EditFontWidth->text().toInt(), metrics.horizontalAdvance(QLatin1Char('W')));
    EXPECT_EQ(page->EditFontHeight->text().toInt(), metrics.height());
    EXPECT_EQ(QFontInfo(page->ImageGet.Font()).family(), QStringLiteral("Liberation Sans"))
        << "fonts-liberation stands in for Arial";
    EXPECT_EQ(page->ImageSmaple->pixmap().size(), QSize(150, 56));
}

TEST_F(FontPageTest, EncodeChoiceEnablesItsGroupAndSetsThePitch) {
    struct Row {
        int encode;
        bool standard, asian, table;
        int pitch;
    };
    for (const Row& row : {Row{1, false, true, false, 0}, Row{2, false, false, true, 1},
                           Row{3, false, false, true, 0}, Row{0, true, false, false, 1}}) {
        Choose(page->ComboBoxFontEncode, row.encode);
        EXPECT_EQ(page->GroupBoxSatndEncode->isEnabled(), row.standard) << row.encode;
        EXPECT_EQ(page->EditCharStart->isEnabled(), row.standard) << row.encode;
        EXPECT_EQ(page->RadioGroupAsiaFontEncode->isEnabled(), row.asian) << row.encode;
        EXPECT_EQ(page->GroupBoxEncodeTable->isEnabled(), row.table) << row.encode;
        EXPECT_EQ(page->ButtonFontTblLoad->isEnabled(), row.table) << row.encode;
        EXPECT_EQ(page->ComboBoxFontPitch->currentIndex(), row.pitch) << row.encode;
    }
    page->EditCharStart->setText(QStringLiteral("40"));
    Choose(page->ComboBoxSEncode, 1);
    EXPECT_EQ(page->EditCharStart->text() + "-" + page->EditCharEnd->text(), "32-255");
    page->EditCharEnd->setText(QStringLiteral("99"));
    Choose(page->ComboBoxSEncode, 2);
    EXPECT_EQ(page->EditCharStart->text() + "-" + page->EditCharEnd->text(), "32-99");
    Choose(page->ComboBoxSEncode, 0);
    EXPECT_EQ(page->EditCharStart->text() + "-" + page->EditCharEnd->text(), "32-127");
    EXPECT_EQ(page->EditCharStart->maxLength(), 3);
}

TEST_F(FontPageTest, SelectFontMeasuresForTheEncodeAndSetsTheItalicWidth) {
    if (!PinnedTestFontAvailable())
        GTEST_SKIP() << "fonts-dejavu-core is not installed";
    QFont boldItalic = PinnedTestFont(30);
    boldItalic.setBold(true);
    boldItalic.setItalic(true);
    page->EditPrinterFontName->setText(QStringLiteral("OTHER"));
    SelectFont(boldItalic);
    const int width = page->EditFontWidth->text().toInt();
    EXPECT_EQ(width, QFontMetrics(boldItalic, &page->ImageGet.Image()).horizontalAdvance('W'));
    EXPECT_EQ(page->EditItalicWidth->text().toInt(), width * 3 / 10);
    EXPECT_EQ(page->EditPrinterFontName->text(), QStringLiteral("FONT001"));
    EXPECT_EQ(page->EditWinFontName->text(), boldItalic.family());

    QFont underlined = boldItalic;
    underlined.setBold(false);
    underlined.setUnderline(true);
    SelectFont(underlined);
    EXPECT_EQ(page->EditItalicWidth->text(), QStringLiteral("0"));

    // The Asian encodes measure the two-byte character 0xE0 0xA2 of the chosen code page.
    Choose(page->ComboBoxFontEncode, 1);
    page->RadioGroupAsiaFontEncode->SetItemIndex(AsianKorean);
    SelectFont(PinnedTestFont(24));
    CodePageConverter korean(949);
    const uint8_t sample[2] = {0xE0, 0xA2};
    const QString character = korean.Character(sample, 2);
    ASSERT_EQ(character.size(), 1);
    EXPECT_EQ(
        page->EditFontWidth->text().toInt(),
        QFontMetrics(PinnedTestFont(24), &page->ImageGet.Image()).horizontalAdvance(character));

    // Cancel changes nothing.
    const QString before = page->EditFontWidth->text();
    page->ButtonSelectFont->click();
    EXPECT_EQ(page->EditFontWidth->text(), before);
    EXPECT_EQ(page->ImageGet.Font(), PinnedTestFont(24));
}

TEST_F(FontPageTest, SaveFontChecksTheFormAndMakesTheFile) {
    page->EditFontWidth->setText(QStringLiteral("16"));
    page->EditFontHeight->setText(QStringLiteral("24"));
    Choose(page->ComboBoxSEncode, 1);
    Choose(page->ComboBoxFontPitch, 0);
    QByteArray file = SaveFont();
    EXPECT_EQ(file.size(), 32 + 224 * 48) << "32 to 255, fixed pitch";
    EXPECT_TRUE(window->isEnabled());

    struct Case {
        const char* start;
        const char* end;
        const char* width;
        const char* message;
    };
    for (const Case& c : {Case{"200", "100", "16", "Make Font Error"},
                          Case{"", "100", "16", "Font Parameter Error"},
                          Case{"32", "256", "16", "Font Parameter Error"},
                          Case{"32", "12a", "16", "'12a' is not a valid integer value"},
                          Case{"32", "127", "-1", "Font Parameter Error"},
                          Case{"32", "127", "2049", "Make Font Error"}}) {
        prompter.Clear();
        page->EditCharStart->setText(QString::fromLatin1(c.start));
        page->EditCharEnd->setText(QString::fromLatin1(c.end));
        page->EditFontWidth->setText(QString::fromLatin1(c.width));
        SaveFont(QStringLiteral("BAD.BMF"));
        EXPECT_EQ(prompter.Messages(), QStringList{QString::fromLatin1(c.message)}) << c.start;
        EXPECT_FALSE(QFile::exists(Path("BAD.BMF"))) << c.start;
        EXPECT_TRUE(window->isEnabled());
    }
    page->EditCharStart->setText(QStringLiteral("32"));
    page->EditCharEnd->setText(QStringLiteral("127"));
    page->EditFontWidth->setText(QStringLiteral("16"));
    page->EditItalicWidth->setText(QString());
    prompter.Clear();
    SaveFont(QStringLiteral("BAD.BMF"));
    EXPECT_EQ(prompter.Messages(), QStringList{"Font Parameter Error"});

    // "Asian Font Encode" is fixed pitch whatever the pitch list says.
    page->EditItalicWidth->setText(QStringLiteral("0"));
    Choose(page->ComboBoxFontEncode, 1);
    Choose(page->ComboBoxFontPitch, 1);
    page->RadioGroupAsiaFontEncode->SetItemIndex(AsianKorean);
    file = SaveFont(QStringLiteral("KOREAN.BMF"));
    ASSERT_EQ(file.size(), 32 + 96 * 24 + (9026 - 96) * 48);
    EXPECT_EQ(file.at(1), 0);
    EXPECT_EQ(file.at(13), 'K');
}

TEST_F(FontPageTest, TablesComeFromTheMemoOrTheLoadedFile) {
    page->EditFontWidth->setText(QStringLiteral("8"));
    page->EditFontHeight->setText(QStringLiteral("8"));
    Choose(page->ComboBoxFontEncode, 2);
    page->MemoFontTable->setPlainText(QStringLiteral("ABC\nD"));
    QByteArray file = SaveFont();
    ASSERT_EQ(window->Records().FontParameters.glyphCount, 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(file.at(32 + 6 * i), 'A' + i);

    page->MemoFontTable->setPlainText(QStringLiteral("\n\t"));
    prompter.Clear();
    SaveFont(QStringLiteral("EMPTY.BMF"));
    EXPECT_EQ(prompter.Messages(), QStringList{"Font Parameter Error"});

    // A table file: the memo shows its text up to the first zero byte, "By File" is checked
    // and the file, not the memo, gives the codes.
    {
        QFile table(Path("table.txt"));
        ASSERT_TRUE(table.open(QIODevice::WriteOnly));
        table.write(QByteArray("XYZ\0W", 5));
    }
    prompter.fileAnswers.push_back(Path("table.txt"));
    page->ButtonFontTblLoad->click();
    EXPECT_EQ(page->MemoFontTable->toPlainText(), QStringLiteral("XYZ"));
    EXPECT_TRUE(page->CheckBoxFileTable->isChecked());
    EXPECT_EQ(window->Records().TableFilePath, Path("table.txt"));
    page->MemoFontTable->setPlainText(QStringLiteral("Q"));
    file = SaveFont();
    ASSERT_EQ(window->Records().FontParameters.glyphCount, 4) << "the zero byte is dropped";
    EXPECT_EQ(file.at(32 + 18), 'W');
    page->CheckBoxFileTable->setChecked(false);
    SaveFont();
    EXPECT_EQ(window->Records().FontParameters.glyphCount, 1);

    // An Asian table: byte pairs in the code page of the chosen encoding, an odd byte left.
    Choose(page->ComboBoxFontEncode, 3);
    page->MemoFontTable->setPlainText(QString::fromUtf8("中文A"));
    file = SaveFont();
    ASSERT_EQ(window->Records().FontParameters.glyphCount, 2);
    EXPECT_EQ(file.mid(32, 2), QByteArray::fromHex("a4a4"));
    EXPECT_EQ(file.mid(38, 2), QByteArray::fromHex("a4e5"));

    // Table Save writes the memo's text in that code page.
    prompter.fileAnswers.push_back(Path("saved.txt"));
    page->ButtonFontTblSave->click();
    EXPECT_EQ(ReadWholeFile(Path("saved.txt")), QByteArray::fromHex("a4a4a4e541"));
    // A table that cannot be written is said so.
    const qsizetype before = prompter.Messages().size();
    prompter.fileAnswers.push_back(Path("missing/saved.txt"));
    page->ButtonFontTblSave->click();
    ASSERT_EQ(prompter.Messages().size(), before + 1);
    EXPECT_EQ(prompter.Messages().last(), QStringLiteral("Save File Error"));
}

TEST_F(FontPageTest, ATableFileThatBreaksOffIsReportedAndChangesNothing) {
    Choose(page->ComboBoxFontEncode, 2);
    page->MemoFontTable->setPlainText(QStringLiteral("ABC"));
    // The process's own memory opens but cannot be read from its start.
    prompter.fileAnswers.push_back(QStringLiteral("/proc/self/mem"));
    page->ButtonFontTblLoad->click();
    EXPECT_EQ(prompter.Messages(), QStringList{QStringLiteral("Open File Error")});
    EXPECT_EQ(page->MemoFontTable->toPlainText(), QStringLiteral("ABC"));
    EXPECT_FALSE(page->CheckBoxFileTable->isChecked());
    EXPECT_TRUE(window->Records().TableFilePath.isEmpty());

    // A table that cannot be opened at all: nothing, as the page always has.
    prompter.fileAnswers.push_back(Path("missing.txt"));
    page->ButtonFontTblLoad->click();
    EXPECT_EQ(prompter.Messages().size(), 1);
}

TEST_F(FontPageTest, DownloadPutsTheFontsBytesIntoTheChosenMemory) {
    page->EditFontWidth->setText(QStringLiteral("12"));
    page->EditFontHeight->setText(QStringLiteral("16"));
    Choose(page->ComboBoxMemoryDevice, 2);
    page->EditPrinterFontName->setText(QStringLiteral("SMALL.BMF"));
    page->ButtonDowloadFont->click();
    EXPECT_TRUE(prompter.Messages().isEmpty()) << prompter.Messages().join(',').toStdString();
    const QByteArray made = ReadWholeFile(Path("Temp.BMF"));
    ASSERT_FALSE(made.isEmpty());
    auto* memory = printer.Module<sim::MemoryModule>();
    const sim::MemoryModule::File* stored = memory->Find(sim::MemoryModule::Card, "SMALL.BMF");
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(QByteArray::fromStdString(stored->data), made);
    EXPECT_TRUE(window->isEnabled());

    // A name the download request cannot carry is refused before anything is made.
    const int downloads = static_cast<int>(memory->memories[sim::MemoryModule::Card].files.size());
    for (const char* name : {"ABCDEFGHIJKLMNOPQRSTUVWXYZ012345", "A\"B", ""}) {
        prompter.Clear();
        page->EditPrinterFontName->setText(QString::fromLatin1(name));
        page->ButtonDowloadFont->click();
        EXPECT_EQ(prompter.Messages(), QStringList{"Font Parameter Error"}) << name;
    }
    EXPECT_EQ(memory->memories[sim::MemoryModule::Card].files.size(), size_t(downloads));
}

TEST_F(FontPageTest, DownloadWorksWhenTheStartupDirectoryCannotBeWritten) {
    // The start-up directory is gone: nothing can be created there, not even by root.
    ASSERT_TRUE(directory.remove());
    EXPECT_FALSE(page->TemporaryFontPath().startsWith(directory.path()));
    page->EditFontWidth->setText(QStringLiteral("8"));
    page->EditFontHeight->setText(QStringLiteral("8"));
    page->ButtonDowloadFont->click();
    EXPECT_TRUE(prompter.Messages().isEmpty()) << prompter.Messages().join(',').toStdString();
    const auto* stored =
        printer.Module<sim::MemoryModule>()->Find(sim::MemoryModule::Flash, "FONT001");
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(QByteArray::fromStdString(stored->data), ReadWholeFile(page->TemporaryFontPath()));
}

TEST_F(FontPageTest, DownloadStopsAtTheRefusedPassword) {
    printer.Module<sim::PasswordModule>()->password = "secret";
    int asked = 0;
    window->SetDialogRunner([&](QDialog& dialog) {
        asked += dialog.objectName() == QStringLiteral("FormPassword");
        dialog.reject();
        return static_cast<int>(QDialog::Rejected);
    });
    page->EditFontWidth->setText(QStringLiteral("8"));
    page->EditFontHeight->setText(QStringLiteral("8"));
    page->ButtonDowloadFont->click();
    EXPECT_EQ(printer.Module<sim::MemoryModule>()->Find(sim::MemoryModule::Flash, "FONT001"),
              nullptr);
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(QFile::exists(Path("Temp.BMF"))) << "nothing is made before the gate";
}

TEST_F(FontPageTest, PreviewShowsTheSingleByteCodesInAGrid) {
    if (!PinnedTestFontAvailable())
        GTEST_SKIP() << "fonts-dejavu-core is not installed";
    SelectFont(PinnedTestFont(40));
    std::optional<QImage> shown;
    QPoint where;
    QString title;
    window->SetDialogRunner([&](QDialog& dialog) {
        auto* preview = dynamic_cast<TFormPreviewFont*>(&dialog);
        if (!preview)
            return static_cast<int>(QDialog::Rejected);
        shown = preview->ImagePreview->pixmap().toImage();
        where = preview->pos();
        title = preview->windowTitle();
        EXPECT_EQ(preview->size(), QSize(432, 507));
        preview->ButtonExit->click();
        EXPECT_FALSE(preview->isVisible());
        return static_cast<int>(QDialog::Accepted);
    });
    page->ButtonPreviewFont->click();
    ASSERT_TRUE(shown.has_value());
    EXPECT_EQ(title, QStringLiteral("Preview Font"));
    EXPECT_EQ(where, window->pos() + QPoint(20, 20));
    ASSERT_EQ(shown->size(), QSize(320, 480));

    // Row 4, column 1 holds code 65, drawn at 10 points with its top-left at (25, 125).
    const QFont font = FontPreview::PreviewFont(PinnedTestFont(40));
    QImage expected(20, 30, QImage::Format_RGB32);
    expected.setDotsPerMeterX(GlyphSurface::kDotsPerMeter);
    expected.setDotsPerMeterY(GlyphSurface::kDotsPerMeter);
    expected.fill(Qt::white);
    {
        QPainter painter(&expected);
        painter.setFont(font);
        painter.drawText(5, 5 + QFontMetrics(font, &expected).ascent(), QStringLiteral("A"));
        painter.drawLine(0, 0, 19, 0);
        painter.drawLine(0, 0, 0, 29);
    }
    const QImage cell = shown->convertToFormat(QImage::Format_RGB32).copy(20, 120, 20, 30);
    EXPECT_EQ(cell, expected);
    // Grid lines are black from edge to edge; code 0's cell is empty.
    EXPECT_EQ(shown->pixel(300, 479), qRgb(0, 0, 0));
    EXPECT_EQ(shown->pixel(319, 450), qRgb(0, 0, 0));
    QImage blank(20, 30, QImage::Format_RGB32);
    blank.fill(Qt::white);
    EXPECT_EQ(shown->convertToFormat(QImage::Format_RGB32).copy(0, 0, 20, 30), blank);
}

} // namespace
