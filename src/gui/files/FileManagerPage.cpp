#include "gui/files/FileManagerPage.h"

#include "command/TextBytes.h"
#include "files/FileTypes.h"
#include "gui/kit/OperationHost.h"
#include "gui/kit/PlaceControl.h"
#include "gui/kit/Prompter.h"
#include "gui/kit/RadioGroup.h"
#include "gui/kit/WindowFiles.h"
#include "gui/password/PasswordGate.h"
#include "link/FixedText.h"
#include "operations/MemoryRecords.h"
#include "operations/OperationCode.h"

#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <cstdint>
#include <cstring>
#include <limits>

namespace {

constexpr int kCaption = kCaptionEntry;

const CaptionEntry kCaptions[] = {
    {"GroupBoxFileDownload", kCaption, {"File Download", "檔案下載", "档案下载"}},
    {"LabelFileType", kCaption, {"File Type", "檔案類型", "档案类型"}},
    {"LabelFileName", kCaption, {"File Name", "檔案名稱", "档案名称"}},
    {"LabelFileSize", kCaption, {"File Size", "檔案大小", "档案大小"}},
    {"LabelMemoryDevice", kCaption, {"Memory Device", "記憶體裝置", "存储设备"}},
    {"ButtonBrowse", kCaption, {"Browse", "瀏覽", "浏览"}},
    {"ButtonFontView", kCaption, {"Font View", "字型檢視", "字体查看"}},
    {"ButtonDownload", kCaption, {"Download", "下載", "下载"}},
    {"GroupBoxFileInfo", kCaption, {"File Information", "檔案資訊", "档案信息"}},
    {"RadioGroupDevice", kCaption, {"Memory Device", "記憶體裝置", "存储设备"}},
    {"LabelPhysicalSpace", kCaption, {"Physical Space", "總容量", "总容量"}},
    {"LabelFreeSpace", kCaption, {"Free Space", "剩餘容量", "剩余容量"}},
    {"ButtonGet", kCaption, {"Get", "讀取", "读取"}},
    {"GroupBoxFileFormat", kCaption, {"File Format", "檔案格式化", "档案格式化"}},
    {"RadioGroupFormatDevice", kCaption, {"Memory Device", "記憶體裝置", "存储设备"}},
    {"ButtonFileFormat", kCaption, {"Format", "格式化", "格式化"}},
};

const QStringList kDevices = {QStringLiteral("DRAM"), QStringLiteral("FLASH"),
                              QStringLiteral("CARD")};

constexpr int kButtonWidth = 97;
constexpr int kButtonHeight = 25;
constexpr int kEditHeight = 21;
constexpr int kLabelHeight = 17;

QRect ButtonAt(int x, int y) {
    return {x, y, kButtonWidth, kButtonHeight};
}

} // namespace

FileManagerPage::FileManagerPage(OperationHost& host, FileManagerRecords records, QWidget* parent)
    : MainPage(host, parent), records_(records) {
    BuildDownloadGroup();
    BuildInfoGroup();
    BuildFormatGroup();
}

std::span<const CaptionEntry> FileManagerPage::Captions() const {
    return kCaptions;
}

void FileManagerPage::BuildDownloadGroup() {
    ControlKit kit(this, kCaptions);
    GroupBoxFileDownload = kit.Add<QGroupBox>(this, "GroupBoxFileDownload", {8, 4, 661, 161});
    QGroupBox* group = GroupBoxFileDownload;

    LabelFileType = kit.Add<QLabel>(group, "LabelFileType", {16, 26, 100, kLabelHeight});
    ComboBoxFileType = kit.Add<QComboBox>(group, "ComboBoxFileType", {120, 22, 185, kEditHeight});
    for (int i = 0; i < kFileTypeCount; ++i)
        ComboBoxFileType->addItem(QString::fromLatin1(FileTypeAt(i).item));
    ComboBoxFileType->setCurrentIndex(-1);
    LabelFileType->setBuddy(ComboBoxFileType);

    LabelFileName = kit.Add<QLabel>(group, "LabelFileName", {16, 58, 100, kLabelHeight});
    EditFileName = kit.Add<QLineEdit>(group, "EditFileName", {120, 54, 185, kEditHeight});
    LabelFileName->setBuddy(EditFileName);

    LabelFileSize = kit.Add<QLabel>(group, "LabelFileSize", {16, 90, 100, kLabelHeight});
    EditFileSize = kit.Add<QLineEdit>(group, "EditFileSize", {120, 86, 185, kEditHeight});
    EditFileSize->setReadOnly(true);
    LabelFileSize->setBuddy(EditFileSize);
    kit.AddText<QLabel>(group, "LabelBytes", {312, 90, 40, kLabelHeight}, QStringLiteral("Bytes"));

    LabelMemoryDevice = kit.Add<QLabel>(group, "LabelMemoryDevice", {16, 122, 100, kLabelHeight});
    ComboBoxDevice = kit.Add<QComboBox>(group, "ComboBoxDevice", {120, 118, 185, kEditHeight});
    ComboBoxDevice->addItems(kDevices);
    ComboBoxDevice->setCurrentIndex(MemoryFlash);
    LabelMemoryDevice->setBuddy(ComboBoxDevice);

    ButtonBrowse = kit.Add<QPushButton>(group, "ButtonBrowse", ButtonAt(376, 20));
    ButtonFontView = kit.Add<QPushButton>(group, "ButtonFontView", ButtonAt(376, 52));
    ButtonDownload = kit.Add<QPushButton>(group, "ButtonDownload", ButtonAt(376, 116));
    ButtonDownload->setEnabled(false);
    connect(ButtonBrowse, &QPushButton::clicked, this, &FileManagerPage::ButtonBrowseClick);
    connect(ButtonFontView, &QPushButton::clicked, this, &FileManagerPage::ButtonFontViewClick);
    connect(ButtonDownload, &QPushButton::clicked, this, &FileManagerPage::ButtonDownloadClick);
}

void FileManagerPage::BuildInfoGroup() {
    ControlKit kit(this, kCaptions);
    GroupBoxFileInfo = kit.Add<QGroupBox>(this, "GroupBoxFileInfo", {8, 172, 441, 309});
    QGroupBox* group = GroupBoxFileInfo;

    RadioGroupDevice = kit.Add<RadioGroup>(group, "RadioGroupDevice", {8, 18, 425, 41}, 3);
    RadioGroupDevice->AddItems(kDevices);
    RadioGroupDevice->SetItemIndex(MemoryFlash);
    connect(RadioGroupDevice, &RadioGroup::Click, this, &FileManagerPage::RadioGroupDeviceClick);

    ListBoxFileList = kit.Add<QListWidget>(group, "ListBoxFileList", {8, 66, 265, 235});

    LabelPhysicalSpace = kit.Add<QLabel>(group, "LabelPhysicalSpace", {284, 70, 140, kLabelHeight});
    EditPhysicalSpace = kit.Add<QLineEdit>(group, "EditPhysicalSpace", {284, 88, 110, kEditHeight});
    EditPhysicalSpace->setReadOnly(true);
    LabelPhysicalSpace->setBuddy(EditPhysicalSpace);
    kit.AddText<QLabel>(group, "LabelPhysicalKB", {400, 92, 30, kLabelHeight},
                        QStringLiteral("KB"));
    LabelFreeSpace = kit.Add<QLabel>(group, "LabelFreeSpace", {284, 122, 140, kLabelHeight});
    EditFreeSpace = kit.Add<QLineEdit>(group, "EditFreeSpace", {284, 140, 110, kEditHeight});
    EditFreeSpace->setReadOnly(true);
    LabelFreeSpace->setBuddy(EditFreeSpace);
    kit.AddText<QLabel>(group, "LabelFreeKB", {400, 144, 30, kLabelHeight}, QStringLiteral("KB"));

    ButtonGet = kit.Add<QPushButton>(group, "ButtonGet", ButtonAt(284, 276));
    connect(ButtonGet, &QPushButton::clicked, this, &FileManagerPage::ButtonGetClick);
}

void FileManagerPage::BuildFormatGroup() {
    ControlKit kit(this, kCaptions);
    GroupBoxFileFormat = kit.Add<QGroupBox>(this, "GroupBoxFileFormat", {456, 172, 213, 145});

    RadioGroupFormatDevice =
        kit.Add<RadioGroup>(GroupBoxFileFormat, "RadioGroupFormatDevice", {8, 18, 197, 85}, 1);
    RadioGroupFormatDevice->AddItems(kDevices);
    RadioGroupFormatDevice->SetItemIndex(MemoryFlash);

    ButtonFileFormat =
        kit.Add<QPushButton>(GroupBoxFileFormat, "ButtonFileFormat", ButtonAt(8, 112));
    connect(ButtonFileFormat, &QPushButton::clicked, this, &FileManagerPage::ButtonFileFormatClick);
}

void FileManagerPage::ButtonGetClick() {
    MemoryInfo& memory = Records().Memory;
    std::memset(&memory, 0, sizeof memory);
    if (Host().Run<Op::ReadMemoryInfo>(memory) == LinkOk)
        RadioGroupDeviceClick();
}

void FileManagerPage::RadioGroupDeviceClick() {
    const int device = RadioGroupDevice->ItemIndex();
    if (device < 0 || device >= kMemoryDeviceCount)
        return;
    const MemoryArea& area = Records().Memory.areas[device];
    // Packed fields are copied out, never bound to references.
    const int32_t physical = area.physicalSpace;
    const int32_t free = area.freeSpace;
    EditPhysicalSpace->setText(area.physicalKnown == 1 ? QString::number(physical) : QString());
    EditFreeSpace->setText(area.freeKnown == 1 ? QString::number(free) : QString());

    ListBoxFileList->clear();
    const QByteArray list = QByteArray::fromStdString(FixedBytes(area.fileList));
    qsizetype at = 0;
    while (at < list.size()) {
        qsizetype end = list.indexOf("\r\n", at);
        if (end < 0)
            end = list.size();
        ListBoxFileList->addItem(DisplayText(list.sliced(at, end - at)));
        at = end + 2;
    }
}

void FileManagerPage::ButtonBrowseClick() {
    ButtonDownload->setEnabled(false);
    const int type = ComboBoxFileType->currentIndex();
    Prompter::FileDialogOptions options;
    options.filter = QString::fromLatin1(FileTypeAt(type).filter);
    if (type == FileTypeTrueTypeFont)
        options.initialDirectory = SystemFontFolder();
    const std::optional<QString> chosen = Host().Prompts().OpenFile(Host().HostWindow(), options);
    if (!chosen)
        return;

    const std::optional<qint64> size =
        CheckWholeFile(Host(), *chosen, {.cannotOpen = QStringLiteral("Open File Error")});
    if (!size)
        return;
    // Only the low 32 bits of the size are shown.
    EditFileSize->setText(QString::number(static_cast<uint32_t>(*size)));
    Records().SelectedSourceFile = *chosen;
    EditFileName->setText(PrinterFileName(*chosen, type));
    ButtonDownload->setEnabled(true);
}

void FileManagerPage::ButtonDownloadClick() {
    Prompter& prompts = Host().Prompts();
    QWidget* window = Host().HostWindow();
    const QString name = EditFileName->text();
    if (name.size() > kPrinterNameLimit) {
        prompts.Error(window, QStringLiteral("File name too long"));
        return;
    }
    // The file may have gone or grown since Browse: check it before anything is asked or
    // sent. A DOWNLOAD header carries a 32-bit size, a raw send a 31-bit count.
    const QString path = Records().SelectedSourceFile;
    const bool raw = FileTypeAt(ComboBoxFileType->currentIndex()).raw;
    const qint64 limit = raw ? std::numeric_limits<int32_t>::max()
                             : static_cast<qint64>(std::numeric_limits<uint32_t>::max());
    if (!CheckWholeFile(Host(), path,
                        {.cannotOpen = QStringLiteral("Open File Error"),
                         .sizeLimit = limit,
                         .tooLarge = QStringLiteral("File too large")}))
        return;
    if (!GateAllows(PasswordGate(Host())))
        return;

    if (raw) {
        SendRawFile(path);
        return;
    }
    const QByteArray localPath = QFile::encodeName(path);
    const QByteArray printerName = name.toLocal8Bit();
    DownloadRequest request{localPath.constData(), printerName.constData(),
                            ComboBoxDevice->currentIndex()};
    Host().Run<Op::DownloadFile>(request);
}

void FileManagerPage::SendRawFile(const QString& path) {
    Prompter& prompts = Host().Prompts();
    // Read whole or not at all; operation 14 counts its bytes in 31 bits.
    std::optional<QByteArray> loaded =
        LoadWholeFile(Host(), path,
                      {.cannotOpen = QStringLiteral("Open File Error"),
                       .cannotRead = QStringLiteral("Open File Error"),
                       .sizeLimit = std::numeric_limits<int32_t>::max(),
                       .tooLarge = QStringLiteral("Open File Error")});
    if (!loaded)
        return;
    // The array keeps a zero byte after the data.
    const QByteArray bytes = std::move(*loaded);
    if (Host().Run<Op::SendData>(std::span<const char>(bytes)) == LinkOk)
        prompts.Information(Host().HostWindow(),
                            QStringLiteral("Please Wait Led change to Green..."));
}

void FileManagerPage::ButtonFileFormatClick() {
    if (!Host().Prompts().Confirm(Host().HostWindow(), QStringLiteral("Are you sure?"),
                                  Prompter::ConfirmButtons::OkCancel))
        return;
    if (!GateAllows(PasswordGate(Host())))
        return;
    int32_t memory = RadioGroupFormatDevice->ItemIndex();
    Host().Run<Op::SendStoredCommand>(memory);
}

void FileManagerPage::ButtonFontViewClick() {
    // Nothing is done with the font here; it stays the dialog's current font.
    if (const std::optional<QFont> font =
            Host().Prompts().ChooseFont(Host().HostWindow(), Records().CurrentFont))
        Records().CurrentFont = *font;
}
