#pragma once

#include "command/EditorBuffers.h"
#include "command/TextBytes.h"
#include "gui/kit/MainPage.h"

#include <QByteArray>

class QCheckBox;
class QPlainTextEdit;
class QPushButton;
class RadioGroup;

// The "Command Tool" page: twelve buffers of raw command text sent to the printer, and a
// view of what the printer answers to a send.
class CommandToolPage : public MainPage {
    Q_OBJECT
public:
    // The most characters the editor holds.
    static constexpr qsizetype kMaxEditorCharacters = 10485760;

    CommandToolPage(OperationHost& host, EditorBuffers& editors, QWidget* parent);

    std::span<const CaptionEntry> Captions() const override;
    void StartupDone() override;

    // Event handlers.
    void RadioGroupSelectClick();
    void ButtonSendClick();
    void ButtonSendFileClick();
    void ButtonLoadFileClick();
    void ButtonSaveFileClick();

    // The shown buffer's text as bytes, as Save writes it.
    QByteArray EditorBytes() const;

    QPlainTextEdit* RichEditTText;
    RadioGroup* RadioGroupSelect;
    QPushButton* ButtonSendFile;
    QPushButton* ButtonSend;
    QPushButton* ButtonLoadFile;
    QPushButton* ButtonSaveFile;
    // Off: sends only send. On: after each send the printer's answers are collected for a
    // moment and shown in MemoReplies (never over the parallel port).
    QCheckBox* CheckBoxShowReplies;
    QPlainTextEdit* MemoReplies;

private:
    TextMapping ShownMapping() const;
    // Sends the bytes through operation 14, or collecting the answers when the view is on.
    void SendBytes(QByteArray bytes);
    // Cuts what was just typed or pasted beyond the editor's limit.
    void KeepWithinLimit(int position, int added);

    EditorBuffers& editors_;
    bool trimming_ = false;
};
