#include "ConfigPageFixture.h"
#include "PackedField.h"

#include "config/ConfigFile.h"
#include "gui/kit/RadioGroup.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <csignal>
#include <cstring>

namespace {

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

// Limits the size of files this process writes, as a full disk does; writes past it fail.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previousHandler_);
    }

private:
    rlimit saved_{};
    void (*previousHandler_)(int) = nullptr;
};

class ConfigFiles : public ConfigPageFixture {
protected:
    QString PathOf(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    void Save(const QString& path) {
        prompter.fileAnswers.push_back(path);
        Page()->ButtonSave->click();
    }
    void Load(const QString& path) {
        prompter.fileAnswers.push_back(path);
        Page()->ButtonLoad->click();
    }

    QTemporaryDir dir;
};

TEST_F(ConfigFiles, SaveWritesTheImageOfTheCollectedPage) {
    Start();
    Page()->ButtonClear->click();
    window->SelectUnit(1);
    Save(PathOf("cleared.dcf"));

    // Magic, format 1, unit 1, the defaults collected from an empty page in mm, no status.
    PrinterConfig expected = DefaultPrinterConfig();
    expected.InchUnit = 0;
    QByteArray golden = QByteArray::fromHex("aa550000"
                                            "01000000"
                                            "01000000");
    golden += QByteArray(reinterpret_cast<const char*>(&expected), sizeof expected);
    golden += QByteArray(10, '\0');
    const QByteArray saved = ReadAll(PathOf("cleared.dcf"));
    EXPECT_EQ(saved.size(), 683);
    EXPECT_EQ(saved.toHex().toStdString(), golden.toHex().toStdString());
    EXPECT_EQ(saved.mid(12 + 5, 4), QByteArray::fromHex("00004843")); // Dpi 200.0

    ASSERT_EQ(prompter.prompts.size(), 1u);
    const Prompter::FileDialogOptions& options = prompter.prompts[0].fileOptions;
    EXPECT_EQ(options.filter, "*.dcf|*.dcf");
    EXPECT_EQ(options.filterIndex, 0);
    EXPECT_EQ(options.defaultExtension, "dcf");
    EXPECT_EQ(options.fileName, "");

    // The next save proposes the name chosen last; a cancelled one changes nothing.
    Edit("EditSpeed")->setText("7");
    Page()->ButtonSave->click();
    EXPECT_EQ(prompter.prompts.back().fileOptions.fileName, PathOf("cleared.dcf"));
    EXPECT_EQ(ReadAll(PathOf("cleared.dcf")), saved);
    EXPECT_EQ(window->StoredConfig().Speed.valid, 0);
}

TEST_F(ConfigFiles, SaveAfterReadKeepsWhatWasReadAndTheEditedPage) {
    Start(QLocale(QLocale::English, QLocale::UnitedStates), true);
    const PrinterConfig read = window->StoredConfig();
    window->Status().flags[StatusPaused] = 1;
    Edit("EditSpeed")->setText("7");
    Save(PathOf("read.dcf"));

    const std::optional<ConfigFileContent> content = DecodeConfigFile(ReadAll(PathOf("read.dcf")));
    ASSERT_TRUE(content);
    EXPECT_EQ(content->UnitIndex, 0);
    EXPECT_EQ(content->Config.InchUnit, 1);
    EXPECT_EQ(Copy(content->Config.Edition), Copy(read.Edition));
    EXPECT_STREQ(content->Config.Version, read.Version);
    EXPECT_EQ(Copy(content->Config.DensityBase.value), Copy(read.DensityBase.value));
    EXPECT_FLOAT_EQ(Copy(content->Config.Speed.value), 7.0f);
    EXPECT_FLOAT_EQ(Copy(content->Config.PaperWidth.value), Copy(read.PaperWidth.value));
    EXPECT_EQ(content->Status.flags[StatusPaused], 1);
    // Save keeps the collected page in the stored configuration.
    EXPECT_FLOAT_EQ(Copy(window->StoredConfig().Speed.value), 7.0f);

    // A value that does not convert stops Save before the file or the record change.
    const QByteArray before = ReadAll(PathOf("read.dcf"));
    Edit("EditSpeed")->setText("7");
    Edit("EditGapInten")->setText("five");
    Edit("EditWidth")->setText("1");
    Save(PathOf("read.dcf"));
    EXPECT_EQ(prompter.Messages(), QStringList{"'five' is not a valid integer value"});
    EXPECT_EQ(ReadAll(PathOf("read.dcf")), before);
    EXPECT_FLOAT_EQ(Copy(window->StoredConfig().PaperWidth.value), Copy(read.PaperWidth.value));
}

TEST_F(ConfigFiles, LoadingAnMmFileSwitchesThePageToMm) {
    Start();
    ConfigFileContent content;
    content.UnitIndex = 1;
    content.Config = DefaultPrinterConfig();
    content.Config.Dpi = 203.0f;
    content.Config.DotsPerMm = 8.0f;
    content.Config.InchUnit = 0;
    SetItem(content.Config.PaperWidth, 812.0f);
    content.Status.flags[StatusPaused] = 1;
    QByteArray bytes = EncodeConfigFile(content);
    bytes[4] = 2;                 // a later format number is not examined
    bytes += QByteArray(17, 'x'); // nor what follows the image
    WriteAll(PathOf("mm.dcf"), bytes);

    Load(PathOf("mm.dcf"));
    EXPECT_TRUE(prompter.Messages().isEmpty());
    EXPECT_EQ(prompter.prompts[0].fileOptions.filter, "*.dcf|*.dcf");
    EXPECT_EQ(window->RadioGroupUnit->ItemIndex(), 1);
    EXPECT_EQ(Find<QLabel>("LabelUnit1")->text(), "mm");
    EXPECT_EQ(Edit("EditWidth")->text(), "101.50");
    EXPECT_EQ(window->EditPrinterStatus->text(), "Pause");
    EXPECT_EQ(std::memcmp(&window->StoredConfig(), &content.Config, sizeof content.Config), 0);
}

TEST_F(ConfigFiles, OtherFilesAreRefusedAndChangeNothing) {
    Start(QLocale(QLocale::English, QLocale::UnitedStates), true);
    const PrinterConfig stored = window->StoredConfig();
    const QStringList shown = PageValues();

    ConfigFileContent content;
    content.UnitIndex = 1;
    content.Config = DefaultPrinterConfig();
    content.Status.flags[StatusPaused] = 1;
    const QByteArray good = EncodeConfigFile(content);
    QByteArray wrongMagic = good;
    wrongMagic[1] = 0x56;
    QByteArray unknownUnit = good;
    unknownUnit[8] = 2;
    WriteAll(PathOf("magic.dcf"), wrongMagic);
    WriteAll(PathOf("short.dcf"), good.left(682));
    WriteAll(PathOf("unit.dcf"), unknownUnit);
    WriteAll(PathOf("text.dcf"), "SIZE 4,2\r\n");

    for (const char* name : {"magic.dcf", "short.dcf", "unit.dcf", "text.dcf"})
        Load(PathOf(name));
    Load(PathOf("missing.dcf")); // cannot be opened: nothing, no message
    Page()->ButtonLoad->click(); // cancelled
    EXPECT_EQ(prompter.Messages(), QStringList(4, QStringLiteral("File Data Error")));
    EXPECT_EQ(std::memcmp(&window->StoredConfig(), &stored, sizeof stored), 0);
    EXPECT_EQ(PageValues(), shown);
    EXPECT_EQ(window->RadioGroupUnit->ItemIndex(), 0);
    EXPECT_EQ(window->EditPrinterStatus->text(), "");
}

TEST_F(ConfigFiles, ASaveThatCannotCompleteLeavesTheEarlierFile) {
    Start();
    Save(PathOf("kept.dcf"));
    const QByteArray earlier = ReadAll(PathOf("kept.dcf"));
    ASSERT_EQ(earlier.size(), 683);

    Edit("EditSpeed")->setText("9");
    {
        FileSizeLimit full(100);
        Save(PathOf("kept.dcf"));
    }
    EXPECT_EQ(prompter.Messages(), QStringList{"Save File Error"});
    EXPECT_EQ(ReadAll(PathOf("kept.dcf")), earlier);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"kept.dcf"});
}

} // namespace
