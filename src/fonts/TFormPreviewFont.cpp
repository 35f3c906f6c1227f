#include "fonts/TFormPreviewFont.h"

#include "fonts/FontPreview.h"
#include "ui/PlaceControl.h"
#include "ui/WindowLook.h"

#include <QLabel>
#include <QPixmap>
#include <QPushButton>

namespace {

constexpr int kClientWidth = 432;
constexpr int kClientHeight = 507;

} // namespace

TFormPreviewFont::TFormPreviewFont(const QFont& surfaceFont, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("FormPreviewFont"));
    setWindowTitle(QStringLiteral("Preview Font"));
    ApplyWindowLook(this);
    setFixedSize(kClientWidth, kClientHeight);
    ImagePreview =
        PlaceControl<QLabel>(this, "ImagePreview", 8, 8, FontPreview::kWidth, FontPreview::kHeight);
    ImagePreview->setPixmap(QPixmap::fromImage(FontPreview::Picture(surfaceFont)));
    ButtonExit = PlaceControl<QPushButton>(this, "ButtonExit", 344, 463, 75, 25);
    ButtonExit->setText(QStringLiteral("Exit"));
    connect(ButtonExit, &QPushButton::clicked, this, &TFormPreviewFont::ButtonExitClick);
}

void TFormPreviewFont::ButtonExitClick() {
    close();
}
