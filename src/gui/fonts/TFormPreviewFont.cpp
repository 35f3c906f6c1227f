#include "gui/fonts/TFormPreviewFont.h"

#include "fonts/FontPreview.h"
#include "gui/kit/Captions.h"
#include "gui/kit/PlaceControl.h"
#include "gui/kit/WindowLook.h"

#include <QLabel>
#include <QPixmap>
#include <QPushButton>

namespace {

constexpr int kClientWidth = 432;
constexpr int kClientHeight = 507;

// English in every language.
const CaptionEntry kCaptions[] = {
    {"FormPreviewFont", kCaptionEntry, EnglishOnly("Preview Font")},
    {"ButtonExit", kCaptionEntry, EnglishOnly("Exit")},
};

} // namespace

TFormPreviewFont::TFormPreviewFont(const QFont& surfaceFont, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
    // English only: the captions the kit gives are the ones shown.
    ControlKit kit(this, "FormPreviewFont", kCaptions);
    ApplyWindowLook(this);
    setFixedSize(kClientWidth, kClientHeight);
    ImagePreview =
        kit.Add<QLabel>(this, "ImagePreview", {8, 8, FontPreview::kWidth, FontPreview::kHeight});
    ImagePreview->setPixmap(QPixmap::fromImage(FontPreview::Picture(surfaceFont)));
    ButtonExit = kit.Add<QPushButton>(this, "ButtonExit", {344, 463, 75, 25});
    connect(ButtonExit, &QPushButton::clicked, this, &TFormPreviewFont::ButtonExitClick);
}

void TFormPreviewFont::ButtonExitClick() {
    close();
}
