#pragma once

#include "gui/files/FileManagerRecords.h"
#include "gui/kit/MainPage.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class RadioGroup;

// The "File Manager" page: the printer memories, their files, download and format.
class FileManagerPage : public MainPage {
    Q_OBJECT
public:
    FileManagerPage(OperationHost& host, FileManagerRecords records, QWidget* parent);

    std::span<const CaptionEntry> Captions() const override;

    // Event handlers.
    void ButtonGetClick();
    // Shows the memory chosen in RadioGroupDevice from the records; never asks the printer.
    void RadioGroupDeviceClick();
    void ButtonBrowseClick();
    void ButtonDownloadClick();
    void ButtonFileFormatClick();
    void ButtonFontViewClick();

    QGroupBox* GroupBoxFileDownload;
    QLabel* LabelFileType;
    QComboBox* ComboBoxFileType;
    QLabel* LabelFileName;
    QLineEdit* EditFileName;
    QLabel* LabelFileSize;
    QLineEdit* EditFileSize;
    QLabel* LabelMemoryDevice;
    QComboBox* ComboBoxDevice;
    QPushButton* ButtonBrowse;
    QPushButton* ButtonFontView;
    QPushButton* ButtonDownload;

    QGroupBox* GroupBoxFileInfo;
    RadioGroup* RadioGroupDevice;
    QListWidget* ListBoxFileList;
    QLabel* LabelPhysicalSpace;
    QLineEdit* EditPhysicalSpace;
    QLabel* LabelFreeSpace;
    QLineEdit* EditFreeSpace;
    QPushButton* ButtonGet;

    QGroupBox* GroupBoxFileFormat;
    RadioGroup* RadioGroupFormatDevice;
    QPushButton* ButtonFileFormat;

protected:
    FileManagerRecords& Records() { return records_; }

private:
    void BuildDownloadGroup();
    void BuildInfoGroup();
    void BuildFormatGroup();
    // Sends the chosen file unchanged (firmware); the password gate has let it go.
    void SendRawFile(const QString& path);

    FileManagerRecords records_;
};
