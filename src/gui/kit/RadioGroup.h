#pragma once

#include <QGroupBox>
#include <QStringList>

#include <vector>

class QButtonGroup;
class QRadioButton;

// A titled group of radio buttons laid out in columns, one of which is selected (or none).
// The item buttons are named after the group: "RadioGroupUnitItem0", "RadioGroupUnitItem1".
// A window's ControlKit places and names the group and gives it the items its caption table
// translates; other items are added with AddItems.
class RadioGroup : public QGroupBox {
    Q_OBJECT
public:
    explicit RadioGroup(int columns, QWidget* parent = nullptr);

    // Adds an item button for each text, after the ones there are.
    void AddItems(const QStringList& items);

    int ItemIndex() const; // -1 when none is selected
    void SetItemIndex(int index);
    int Count() const { return static_cast<int>(buttons_.size()); }
    QString ItemText(int index) const;
    void SetItemText(int index, const QString& text);
    QRadioButton* ItemButton(int index) const;

signals:
    // The user picked an item (not emitted by SetItemIndex).
    void Click();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void LayOut();

    QButtonGroup* group_;
    std::vector<QRadioButton*> buttons_;
    int columns_;
};
