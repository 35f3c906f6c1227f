#include "ui/RadioGroup.h"

#include <QButtonGroup>
#include <QRadioButton>

namespace {

constexpr int kSideMargin = 8;
constexpr int kTopMargin = 15;
constexpr int kBottomMargin = 4;

} // namespace

RadioGroup::RadioGroup(const QString& name, const QStringList& items, int columns, QWidget* parent)
    : QGroupBox(parent), group_(new QButtonGroup(this)), columns_(columns < 1 ? 1 : columns) {
    setObjectName(name);
    group_->setExclusive(true);
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items[i], this);
        button->setObjectName(name + QStringLiteral("Item") + QString::number(i));
        group_->addButton(button, i);
        buttons_.push_back(button);
    }
    connect(group_, &QButtonGroup::idClicked, this, [this](int) { emit Click(); });
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
        buttons_[i]->setGeometry(kSideMargin + column * columnWidth, kTopMargin + row * rowHeight,
                                 columnWidth, rowHeight);
    }
}
