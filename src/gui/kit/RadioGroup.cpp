#include "gui/kit/RadioGroup.h"

#include "gui/kit/PlaceControl.h"

#include <QButtonGroup>
#include <QRadioButton>

namespace {

constexpr int kSideMargin = 8;
constexpr int kTopMargin = 15;
constexpr int kBottomMargin = 4;

} // namespace

RadioGroup::RadioGroup(int columns, QWidget* parent)
    : QGroupBox(parent), group_(new QButtonGroup(this)), columns_(columns < 1 ? 1 : columns) {
    group_->setExclusive(true);
    connect(group_, &QButtonGroup::idClicked, this, [this](int) { emit Click(); });
}

void RadioGroup::AddItems(const QStringList& items) {
    for (const QString& text : items) {
        const int index = Count();
        auto* button = new QRadioButton(text, this);
        NameControl(button, objectName() + QStringLiteral("Item") + QString::number(index));
        group_->addButton(button, index);
        buttons_.push_back(button);
    }
    LayOut();
}

int RadioGroup::ItemIndex() const {
    return group_->checkedId();
}

void RadioGroup::SetItemIndex(int index) {
    if (index >= 0 && index < Count()) {
        buttons_[index]->setChecked(true);
        return;
    }
    // An exclusive group cannot be emptied by unchecking its checked button.
    group_->setExclusive(false);
    for (QRadioButton* button : buttons_)
        button->setChecked(false);
    group_->setExclusive(true);
}

QString RadioGroup::ItemText(int index) const {
    return index >= 0 && index < Count() ? buttons_[index]->text() : QString();
}

void RadioGroup::SetItemText(int index, const QString& text) {
    if (index >= 0 && index < Count())
        buttons_[index]->setText(text);
}

QRadioButton* RadioGroup::ItemButton(int index) const {
    return index >= 0 && index < Count() ? buttons_[index] : nullptr;
}

void RadioGroup::resizeEvent(QResizeEvent* event) {
    QGroupBox::resizeEvent(event);
    LayOut();
}

void RadioGroup::LayOut() {
    if (buttons_.empty())
        return;
    const int rows = (Count() + columns_ - 1) / columns_;
    const int columnWidth = (width() - 2 * kSideMargin) / columns_;
    const int rowHeight = std::max(1, (height() - kTopMargin - kBottomMargin) / rows);
    // Items fill the first column top to bottom, then the next.
    for (int i = 0; i < Count(); ++i) {
        const int column = i / rows;
        const int row = i % rows;
        MoveControl(buttons_[i], QRect(kSideMargin + column * columnWidth,
                                       kTopMargin + row * rowHeight, columnWidth, rowHeight));
    }
}
