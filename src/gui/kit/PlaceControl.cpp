#include "gui/kit/PlaceControl.h"

#include "gui/kit/RadioGroup.h"

#include <QComboBox>
#include <QLabel>
#include <QStackedWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QTreeWidget>

#include <algorithm>
#include <vector>

namespace {

// The entry of the table that gives the control its caption, or none.
const CaptionEntry* CaptionOf(std::span<const CaptionEntry> captions, const QString& name) {
    for (const CaptionEntry& entry : captions)
        if (entry.item == kCaptionEntry && name == QLatin1String(entry.control))
            return &entry;
    return nullptr;
}

// The English texts of the table's items of the control, by item index (items the table
// leaves out, like the empty first item of the configuration lists, are empty).
QStringList ItemsOf(std::span<const CaptionEntry> captions, const QString& name) {
    QStringList items;
    for (const CaptionEntry& entry : captions) {
        if (entry.item < 0 || name != QLatin1String(entry.control))
            continue;
        while (items.size() <= entry.item)
            items << QString();
        items[entry.item] = TextFor(entry.text, LanguageEnglish);
    }
    return items;
}

// Gives a new list its items: a combo box's entries, a radio group's buttons, a list
// view's column captions.
void AddItems(QWidget* control, const QStringList& items) {
    if (auto* combo = qobject_cast<QComboBox*>(control))
        combo->addItems(items);
    else if (auto* radio = qobject_cast<RadioGroup*>(control))
        radio->AddItems(items);
    else if (auto* list = qobject_cast<QTreeWidget*>(control))
        list->setHeaderLabels(items);
}

bool TakesTab(const QWidget* widget) {
    return (widget->focusPolicy() & Qt::TabFocus) == Qt::TabFocus && !widget->focusProxy();
}

// The children of one parent in the order they are seen.
std::vector<QWidget*> SeenOrder(QWidget* parent) {
    std::vector<QWidget*> children;
    for (QObject* object : parent->children()) {
        auto* child = qobject_cast<QWidget*>(object);
        if (child && !child->isWindow())
            children.push_back(child);
    }
    // The pages of a stack lie on one another: they come in the order of their tabs, after
    // the tabs themselves.
    if (qobject_cast<QStackedWidget*>(parent))
        return children;
    if (qobject_cast<QTabWidget*>(parent)) {
        std::stable_partition(children.begin(), children.end(),
                              [](QWidget* child) { return qobject_cast<QTabBar*>(child); });
        return children;
    }
    std::stable_sort(children.begin(), children.end(), [](QWidget* a, QWidget* b) {
        return a->geometry().top() < b->geometry().top();
    });
    for (auto row = children.begin(); row != children.end();) {
        const QRect first = (*row)->geometry();
        const auto end = std::find_if(row + 1, children.end(), [&first](QWidget* child) {
            const QRect place = child->geometry();
            return place.top() - first.top() >= std::min(first.height(), place.height()) / 2;
        });
        std::stable_sort(row, end, [](QWidget* a, QWidget* b) {
            return a->geometry().left() < b->geometry().left();
        });
        row = end;
    }
    return children;
}

// Appends the controls under the parent that the Tab key stops at, in the order seen. A
// control's own parts (the edit of a list, the header of a list view) stay its own.
void CollectTabStops(QWidget* parent, std::vector<QWidget*>& stops) {
    for (QWidget* child : SeenOrder(parent)) {
        if (TakesTab(child))
            stops.push_back(child);
        else
            CollectTabStops(child, stops);
    }
}

} // namespace

ControlKit::ControlKit(QWidget* window, std::span<const CaptionEntry> captions)
    : window_(window), captions_(captions) {}

ControlKit::ControlKit(QWidget* window, const char* name, std::span<const CaptionEntry> captions)
    : ControlKit(window, captions) {
    const QString windowName = QString::fromLatin1(name);
    NameControl(window, windowName);
    // The title, from the table's entry that names the window.
    if (const CaptionEntry* entry = CaptionOf(captions_, windowName))
        SetControlCaption(window, TextFor(entry->text, LanguageEnglish));
}

void ControlKit::Settle(QWidget* control, const QString& name, const QRect& place) {
    NameControl(control, name);
    MoveControl(control, place);
    if (const CaptionEntry* entry = CaptionOf(captions_, name)) {
        const QString text = TextFor(entry->text, LanguageEnglish);
        SetControlCaption(control, text);
        control->setAccessibleName(text);
    }
    const QStringList items = ItemsOf(captions_, name);
    if (!items.isEmpty())
        AddItems(control, items);
}

QWidget* ControlKit::AddPage(QTabWidget* tabs, const char* name, const QString& text) {
    auto* page = new QWidget;
    const QString pageName = QString::fromLatin1(name);
    NameControl(page, pageName);
    QString caption = text;
    if (const CaptionEntry* entry = CaptionOf(captions_, pageName)) {
        caption = TextFor(entry->text, LanguageEnglish);
        page->setAccessibleName(caption);
    }
    tabs->addTab(page, caption);
    return page;
}

ControlRow ControlKit::Row(QWidget* parent, const char* label, const QRect& labelPlace,
                           int controlsLeft, int gap) {
    return ControlRow(*this, parent, Add<QLabel>(parent, label, labelPlace), controlsLeft, gap);
}

void ControlKit::OrderTabs() const {
    ::OrderTabs(window_);
}

void ControlKit::OrderTabs(std::initializer_list<QWidget*> controls) {
    QWidget* previous = nullptr;
    for (QWidget* control : controls) {
        if (previous)
            QWidget::setTabOrder(previous, control);
        previous = control;
    }
}

ControlRow::ControlRow(ControlKit& kit, QWidget* parent, QLabel* label, int controlsLeft, int gap)
    : kit_(kit), parent_(parent), label_(label), x_(controlsLeft), y_(label->y()),
      height_(label->height()), gap_(gap) {}

QRect ControlRow::Next(int width) {
    const QRect place(x_, y_, width, height_);
    x_ += width + gap_;
    return place;
}

void ControlRow::Labelled(QWidget* control) {
    if (!label_->buddy() && TakesTab(control))
        label_->setBuddy(control);
}

void NameControl(QObject* control, const QString& name) {
    control->setObjectName(name);
}

void MoveControl(QWidget* control, const QRect& place) {
    control->setGeometry(place);
}

void OrderTabs(QWidget* window) {
    std::vector<QWidget*> stops;
    CollectTabStops(window, stops);
    for (size_t i = 1; i < stops.size(); ++i)
        QWidget::setTabOrder(stops[i - 1], stops[i]);
}
