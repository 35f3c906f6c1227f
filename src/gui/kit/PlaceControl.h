#pragma once

#include "gui/kit/Captions.h"

#include <QRect>
#include <QString>
#include <QWidget>

#include <initializer_list>
#include <span>
#include <utility>

class ControlRow;
class QLabel;
class QTabWidget;

// The one way a window is built: the main window, its pages and every dialog place their
// controls with a ControlKit, apply their caption table with ApplyCaptions (gui/kit/Captions.h)
// and read and write the user's files with gui/kit/WindowFiles.h.
//
// A control is created under its parent, named after its component (tests and the caption
// tables find it by that name) and put at its fixed place. When the window's caption table
// has entries for it, the control takes its texts from them: its caption in English (the
// window applies its language once it is built, ApplyCaptions), its accessible name from
// that caption, and the items of a list. A control with a text that no entry translates
// ("Km", "0 to 30") is given it when it is placed, and has no other.
//
// The keyboard's Tab walks the controls in the order they are seen: top to bottom, left to
// right along a row, the controls of a group before what follows the group (OrderTabs),
// unless the window defines another order.
class ControlKit {
public:
    // The controls of a page, which is named where it is placed.
    explicit ControlKit(QWidget* window, std::span<const CaptionEntry> captions = {});
    // The controls of a window, named `name` (its class name without the leading "T").
    ControlKit(QWidget* window, const char* name, std::span<const CaptionEntry> captions = {});

    // A new control of type T, made from `args` and its parent.
    template <class T, class... Args>
    T* Add(QWidget* parent, const char* name, const QRect& place, Args&&... args) {
        auto* control = new T(std::forward<Args>(args)..., parent);
        Settle(control, QString::fromLatin1(name), place);
        return control;
    }
    // A control with a text of its own, which no caption entry translates.
    template <class T>
    T* AddText(QWidget* parent, const char* name, const QRect& place, const QString& text) {
        T* control = Add<T>(parent, name, place);
        SetControlCaption(control, text);
        return control;
    }
    // A page of a tab control; its tab shows the page's caption (or `text`, for a tab that
    // is not translated).
    QWidget* AddPage(QTabWidget* tabs, const char* name, const QString& text = {});

    // Controls side by side along one row of a form, as a ControlRow places them.
    ControlRow Row(QWidget* parent, const char* label, const QRect& labelPlace, int controlsLeft,
                   int gap = 4);

    // Sets the Tab order of the whole window by what the user sees.
    void OrderTabs() const;
    // Sets the Tab order of these controls as the window defines it: each after the one
    // before, the first where it was.
    static void OrderTabs(std::initializer_list<QWidget*> controls);

private:
    void Settle(QWidget* control, const QString& name, const QRect& place);

    QWidget* window_;
    std::span<const CaptionEntry> captions_;
};

// One row of a form: a label at its place, then the controls from `controlsLeft`, each
// `gap` pixels after the one before, all as high as the label. The label names the row's
// first control that takes the keyboard (its accessible name follows the label's caption).
class ControlRow {
public:
    ControlRow(ControlKit& kit, QWidget* parent, QLabel* label, int controlsLeft, int gap);

    template <class T, class... Args> T* Add(const char* name, int width, Args&&... args) {
        T* control = kit_.Add<T>(parent_, name, Next(width), std::forward<Args>(args)...);
        Labelled(control);
        return control;
    }
    template <class T> T* AddText(const char* name, int width, const QString& text) {
        return kit_.AddText<T>(parent_, name, Next(width), text);
    }
    QLabel* Label() const { return label_; }

private:
    QRect Next(int width);
    void Labelled(QWidget* control);

    ControlKit& kit_;
    QWidget* parent_;
    QLabel* label_;
    int x_;
    int y_;
    int height_;
    int gap_;
};

// What the kit does for a control made elsewhere: the name of a control, a window or a
// part without a place (a timer), and a control's place in its parent (a control that
// moves, a page put into its window).
void NameControl(QObject* control, const QString& name);
void MoveControl(QWidget* control, const QRect& place);

// Sets the Tab order of every control of the window that takes the keyboard by where it is
// seen: the controls of one parent in rows from top to bottom, and along a row from left to
// right (the topmost control not yet ordered starts a row; another joins it when its top is
// less than half the smaller of their heights below the first one's top); the controls
// inside a group or a page come at the group's place, a tab control's tabs before its pages.
void OrderTabs(QWidget* window);
