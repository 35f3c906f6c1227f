#pragma once

#include "link/FixedText.h"
#include "operations/MaintenanceRecords.h"

#include <QDialog>

#include <cstdint>

class Prompter;
class QLabel;
class QLineEdit;
class QPushButton;
class RadioGroup;

// What "Dump Text" asks for: the request for the printer and whether the user confirmed it.
struct DumpTextChoice {
    DumpTextRequest request;
    uint8_t accepted;
};

// Chooses where the printer's dump-text mode sends what it receives: printed on labels, a
// file on the memory card, or "Dump.txt" in the printer. Writes into the caller's choice
// directly. Its texts are the same in every language.
class TFormDumpTextSetup : public QDialog {
    Q_OBJECT
public:
    TFormDumpTextSetup(DumpTextChoice& choice, Prompter& prompter, const QPoint& position,
                       QWidget* parent = nullptr);

    void RadioGroupDumpModeClick();
    void ButtonOKClick();
    void ButtonCancelClick();

    RadioGroup* RadioGroupDumpMode;
    QLabel* Label1;
    QLineEdit* EditFileName;
    QPushButton* ButtonOK;
    QPushButton* ButtonCancel;

private:
    void ApplyMode(int32_t mode);

    DumpTextChoice& choice_;
    Prompter& prompter_;
};

// Stores a typed card file name in the request when it fits whole; otherwise the request
// keeps its name and the result says why.
FixedTextResult StoreDumpFileName(DumpTextRequest& request, const QString& name);
