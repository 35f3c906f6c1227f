#pragma once

#include "gui/kit/Language.h"
#include "operations/SensorRecords.h"

#include <QDialog>

class OperationHost;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class RadioGroup;

// Chooses how the media sensor is calibrated: automatically by the printer ("Calibrate"),
// with a typed intensity and threshold ("Set"), or by a guided measurement that reads the
// sensor over the backing (or black mark) and over the label and proposes both values.
// Edits the caller's record in place; only "Calibrate" and "Set" confirm it.
class TFormSensorCalibrate : public QDialog {
    Q_OBJECT
public:
    static constexpr int kPollIntervalMs = 500;

    TFormSensorCalibrate(SensorCalibration& record, OperationHost& host, const QPoint& position,
                         QWidget* parent = nullptr);

    void ButtonCalibClick();
    void ButtonSetClick();
    void ButtonCancelClick();
    void ButtonManualCalibrationClick();
    void Timer1Timer();

    // Where the guided measurement stands: 0 idle, 1 waiting for the backing or mark,
    // 2 waiting for the label.
    int Step() const { return step_; }

    RadioGroup* RadioGroupMediaType;
    QGroupBox* GroupBoxAutoCali;
    QLabel* LabelHeight;
    QLineEdit* EditHeight;
    QLabel* LabelUnit1;
    QLabel* LabelGap;
    QLineEdit* EditGap;
    QLabel* LabelUnit2;
    QPushButton* ButtonCalib;
    QGroupBox* GroupBoxManualCalib;
    QLabel* LabelInten;
    QLineEdit* EditInten;
    QLabel* LabelThresholdValue;
    QLineEdit* EditReference;
    QLabel* LabelReadIntension;
    QComboBox* ComboBoxSnesorInt;
    QLabel* LabelCurrent;
    QLineEdit* EditCurrentReading;
    QLabel* LabelPaperReading;
    QLabel* LabelLabelValue;
    QLabel* LabelGapReading;
    QLabel* LabelGapValue;
    QLabel* LabelMessage;
    QPushButton* ButtonSet;
    QPushButton* ButtonManualCalibration;
    QPushButton* ButtonCancel;
    QTimer* Timer1;

    void done(int result) override;

protected:
    // Escape and the close box leave as "Cancel" does.
    void reject() override;

private:
    void BuildAutoGroup();
    void BuildManualGroup();
    void ApplyLanguage();
    // Reads the sensor at every level; the levels change only when the read succeeded.
    bool ReadLevels(SensorLevels& levels);
    void MeasureFirst(int32_t media);
    void TakeBacking();
    void TakeLabel();
    void ShowResultLabels(bool label, bool gap);
    void Fail(const QString& text);
    QString Text(const CaptionText& caption) const;

    SensorCalibration& record_;
    OperationHost& host_;
    int languageIndex_;
    SensorLevels live_{};
    SensorLevels first_{};
    SensorLevels second_{};
    int step_ = 0;
    // An operation of this dialog is running: the link serves one operation at a time, and
    // its waits let timer ticks and clicks through.
    bool busy_ = false;
};
