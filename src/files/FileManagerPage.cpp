#include "files/FileManagerPage.h"

#include "command/TextBytes.h"
#include "files/FileTypes.h"
#include "link/FixedText.h"
#include "operations/MemoryRecords.h"
#include "operations/OperationCode.h"
#include "password/PasswordGate.h"
#include "ui/OperationHost.h"
#include "ui/PlaceControl.h"
#include "ui/Prompter.h"
#include "ui/RadioGroup.h"

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

QLabel* MakeLabel(QWidget* parent, const char* name, const char* text, int x, int y,
                  int width = 100) {
    auto* label = PlaceControl<QLabel>(parent, name, x, y, width, 17);
    label->setText(QString::fromLatin1(text));
    return label;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const char* text, int x, int y) {
    auto* button = PlaceControl<QPushButton>(parent, name, x, y, kButtonWidth, kButtonHeight);
    button->setText(QString::fromLatin1(text));
    return button;
}

QLineEdit* MakeReadOnlyEdit(QWidget* parent, const char* name, int x, int y, int width) {
    auto* edit = PlaceControl<QLineEdit>(parent, name, x, y, width, kEditHeight);
    edit->setReadOnly(true);
    return edit;
}

} // namespace

FileManagerPage::FileManagerPage(OperationHost& host, FileManagerRecords records, QWidget* parent)
    : MainPage(host, parent), records_(records) {
    setObjectName(QStringLiteral("FileManagerPage"));
    BuildDownloadGroup();
    BuildInfoGroup();
    BuildFormatGroup();
}

std::span<const CaptionEntry> FileManagerPage::Captions() const {
    return kCaptions;
}

void FileManagerPage::BuildDownloadGroup() {
    GroupBoxFileDownload = PlaceControl<QGroupBox>(this, "GroupBoxFileDownload", 8, 4, 661, 161);
    GroupBoxFileDownload->setTitle(QStringLiteral("File Download"));
    QGroupBox* group = GroupBoxFileDownload;

    LabelFileType = MakeLabel(group, "LabelFileType", "File Type:", 16, 26);
    ComboBoxFileType =
        PlaceControl<QComboBox>(group, "ComboBoxFileType", 120, 22, 185, kEditHeight);
    for (int i = 0; i < kFileTypeCount; ++i)
        ComboBoxFileType->addItem(QString::fromLatin1(FileTypeAt(i).item));
    ComboBoxFileType->setCurrentIndex(-1);

    LabelFileName = MakeLabel(group, "LabelFileName", "File Name:", 16, 58);
    EditFileName = PlaceControl<QLineEdit>(group, "EditFileName", 120, 54, 185, kEditHeight);

    LabelFileSize = MakeLabel(group, "LabelFileSize", "File Size:", 16, 90);
    EditFileSize = MakeReadOnlyEdit(group, "EditFileSize", 120, 86, 185);
    MakeLabel(group, "LabelBytes", "Bytes", 312, 90, 40);

    LabelMemoryDevice = MakeLabel(group, "LabelMemoryDevice", "Memory Device:", 16, 122);
    ComboBoxDevice = PlaceControl<QComboBox>(group, "ComboBoxDevice", 120, 118, 185, kEditHeight);
    ComboBoxDevice->addItems(kDevices);
    ComboBoxDevice->setCurrentIndex(MemoryFlash);

    ButtonBrowse = MakeButton(group, "ButtonBrowse", "Browse", 376, 20);
    ButtonFontView = MakeButton(group, "ButtonFontView", "Font View", 376, 52);
    ButtonDownload = MakeButton(group, "ButtonDownload", "Download", 376, 116);
    ButtonDownload->setEnabled(false);
    connect(ButtonBrowse, &QPushButton::clicked, this, &FileManagerPage::ButtonBrowseClick);
    connect(ButtonFontView, &QPushButton::clicked, this, &FileManagerPage::ButtonFontViewClick);
    connect(ButtonDownload, &QPushButton::clicked, this, &FileManagerPage::ButtonDownloadClick);
}

void FileManagerPage::BuildInfoGroup() {
    GroupBoxFileInfo = PlaceControl<QGroupBox>(this, "GroupBoxFileInfo", 8, 172, 441, 309);
    GroupBoxFileInfo->setTitle(QStringLiteral("File Information"));
    QGroupBox* group = GroupBoxFileInfo;

    RadioGroupDevice = new RadioGroup(QStringLiteral("RadioGroupDevice"), kDevices, 3, group);
    RadioGroupDevice->setTitle(QStringLiteral("Memory Device"));
    RadioGroupDevice->setGeometry(8, 18, 425, 41);
    RadioGroupDevice->SetItemIndex(MemoryFlash);
    connect(RadioGroupDevice, &RadioGroup::Click, this, &FileManagerPage::RadioGroupDeviceClick);

    ListBoxFileList = PlaceControl<QListWidget>(group, "ListBoxFileList", 8, 66, 265, 235);

    LabelPhysicalSpace = MakeLabel(group, "LabelPhysicalSpace", "Physical Space:", 284, 70, 140);
    EditPhysicalSpace = MakeReadOnlyEdit(group, "EditPhysicalSpace", 284, 88, 110);
    MakeLabel(group, "LabelPhysicalKB", "KB", 400, 92, 30);
    LabelFreeSpace = MakeLabel(group, "LabelFreeSpace", "Free Space:", 284, 122, 140);
    EditFreeSpace = MakeReadOnlyEdit(group, "EditFreeSpace", 284, 140, 110);
    MakeLabel(group, "LabelFreeKB", "KB", 400, 144, 30);

    ButtonGet = MakeButton(group, "ButtonGet", "Get", 284, 276);
    connect(ButtonGet, &QPushButton::clicked, this, &FileManagerPage::ButtonGetClick);
}

void FileManagerPage::BuildFormatGroup() {
    GroupBoxFileFormat = PlaceControl<QGroupBox>(this, "GroupBoxFileFormat", 456, 172, 213, 145);
    GroupBoxFileFormat->setTitle(QStringLiteral("File Format"));

    RadioGroupFormatDevice =
        new RadioGroup(QStringLiteral("RadioGroupFormatDevice"), kDevices, 1, GroupBoxFileFormat);
    RadioGroupFormatDevice->setTitle(QStringLiteral("Memory Device"));
    RadioGroupFormatDevice->setGeometry(8, 18, 197, 85);
    RadioGroupFormatDevice->SetItemIndex(MemoryFlash);

    ButtonFileFormat = MakeButton(GroupBoxFileFormat, "ButtonFileFormat", "Format", 8, 112);
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

    QFile file(*chosen);
    if (!file.open(QIODevice::ReadOnly)) {
        Host().Prompts().Error(Host().HostWindow(), QStringLiteral("Open File Error"));
        return;
    }
    // Only the low 32 bits of the size are shown.
    EditFileSize->setText(QString::number(static_cast<uint32_t>(file.size())));
    file.close();
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
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            prompts.Error(window, QStringLiteral("Open File Error"));
            return;
        }
        const qint64 limit = raw ? std::numeric_limits<int32_t>::max()
                                 : static_cast<qint64>(std::numeric_limits<uint32_t>::max());
        if (file.size() > limit) {
            prompts.Error(window, QStringLiteral("File too large"));
            return;
        }
    }
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
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        prompts.Error(Host().HostWindow(), QStringLiteral("Open File Error"));
        return;
    }
    // The array keeps a zero byte after the data.
    const qint64 expected = file.size();
    QByteArray bytes = file.readAll();
    file.close();
    if (bytes.size() != expected || bytes.size() > std::numeric_limits<int32_t>::max()) {
        prompts.Error(Host().HostWindow(), QStringLiteral("Open File Error"));
        return;
    }
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
