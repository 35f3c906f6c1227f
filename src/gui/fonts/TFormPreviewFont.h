#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// "Preview Font": the 256 single-byte characters of the chosen font in a grid. English only.
class TFormPreviewFont : public QDialog {
    Q_OBJECT
public:
    TFormPreviewFont(const QFont& surfaceFont, QWidget* parent = nullptr);

    void ButtonExitClick();

    QLabel* ImagePreview;
    QPushButton* ButtonExit;
};
