#pragma once

#include "fonts/GlyphSurface.h"
#include "gui/fonts/FontPageRecords.h"
#include "gui/kit/MainPage.h"

#include <QByteArray>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class RadioGroup;

// The "Bitmap Font Manager" page: bitmap fonts made from PC fonts, saved, downloaded and
// previewed.
class FontManagerPage : public MainPage {
    Q_OBJECT
public:
    FontManagerPage(OperationHost& host, FontPageRecords records, QWidget* parent);

    std::span<const CaptionEntry> Captions() const override;

    // Event handlers.
    void ComboBoxFontEncodeChange();
    void ComboBoxSEncodeChange();
    void ButtonSelectFontClick();
    void ButtonPreviewFontClick();
    void ButtonFontTblLoadClick();
    void ButtonFontTblSaveClick();
    void ButtonSaveFontClick();
    void ButtonDowloadFontClick();

    // Where "Dowload Font" makes its font: Temp.BMF in the start-up directory, or in the
    // system's temporary directory when the start-up directory cannot be written.
    QString TemporaryFontPath();

    // Controls, named as their objectName.
    QGroupBox* GroupBoxFontSelect;
    QLabel* LabelFontEncode;
    QComboBox* ComboBoxFontEncode;
    QLabel* LabelFontPitch;
    QComboBox* ComboBoxFontPitch;
    QLabel* LabelPrinterDevice;
    QComboBox* ComboBoxMemoryDevice;
    QLabel* LabelWindowsFontName;
    QLineEdit* EditWinFontName;
    QLabel* LabelFontSize;
    QLineEdit* EditWinFontSize;
    QPushButton* ButtonSelectFont;
    QPushButton* ButtonPreviewFont;
    QLabel* LabelPrinterFontName;
    QLineEdit* EditPrinterFontName;
    QLabel* LabelFontWidth;
    QLineEdit* EditFontWidth;
    QLabel* LabelFontHeight;
    QLineEdit* EditFontHeight;
    QLabel* LabelItalicWidth;
    QLineEdit* EditItalicWidth;
    QLabel* ImageSmaple;
    QGroupBox* GroupBoxSatndEncode;
    QLabel* LabelFontMapping;
    QComboBox* ComboBoxSEncode;
    QLabel* LabelStartAscii;
    QLineEdit* EditCharStart;
    QLabel* LabelEndAscii;
    QLineEdit* EditCharEnd;
    RadioGroup* RadioGroupAsiaFontEncode;
    QGroupBox* GroupBoxEncodeTable;
    QPlainTextEdit* MemoFontTable;
    QCheckBox* CheckBoxFileTable;
    QPushButton* ButtonFontTblLoad;
    QPushButton* ButtonFontTblSave;
    QPushButton* ButtonSaveFont;
    QPushButton* ButtonDowloadFont;

    // The hidden drawing surface that carries the chosen font.
    GlyphSurface ImageGet;

protected:
    FontPageRecords& Records() { return records_; }

private:
    void BuildFontSelect();
    void BuildEncodeGroups();
    // Shows the dialog's current font and measures it (Select Font after the dialog).
    void ShowChosenFont();
    // Fills the records' font parameters for a make into `path`; false after showing why not.
    bool CollectParameters(const QString& path);
    // The codes of the table choices: the file when "By File" is checked, else the memo.
    QByteArray LoadFontTable();
    bool MakeFontInto(const QString& path);
    void EndAction();

    FontPageRecords records_;
};
