#include "gui/command/CommandToolPage.h"

#include "command/CommandReplies.h"
#include "dispatch/Dispatch.h"
#include "gui/kit/OperationHost.h"
#include "gui/kit/PlaceControl.h"
#include "gui/kit/Prompter.h"
#include "gui/kit/RadioGroup.h"
#include "gui/kit/WindowFiles.h"

#include <QCheckBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <limits>
#include <string>

namespace {

constexpr int kCaption = kCaptionEntry;

// The four buttons, then the reply view's check box.
const CaptionEntry kCaptions[] = {
    {"ButtonSendFile", kCaption, {"Send File", "傳送檔案", "传送档案"}},
    {"ButtonSend", kCaption, {"Send", "傳送", "传送"}},
    {"ButtonLoadFile", kCaption, {"Load", "載入", "载入"}},
    {"ButtonSaveFile", kCaption, {"Save", "儲存", "保存"}},
    {"CheckBoxShowReplies", kCaption, {"Show printer replies", "顯示印表機回應", "显示打印机回应"}},
};

// How long the printer's answers are collected after a send.
const ReplyWindow kReplyWindow{300, 2000, 65536};

constexpr int kButtonLeft = 576;
constexpr int kButtonWidth = 93;
constexpr int kButtonHeight = 25;

// Command text reads best in a fixed pitch; the CJK mono face draws Latin and Chinese
// characters alike, the others stand in where it is missing.
QFont EditorFont() {
    QFont font;
    font.setFamilies({QStringLiteral("Noto Sans Mono CJK TC"), QStringLiteral("DejaVu Sans Mono"),
                      QStringLiteral("Liberation Mono"), QStringLiteral("Consolas"),
                      QStringLiteral("MingLiU")});
    font.setStyleHint(QFont::TypeWriter);
    font.setPixelSize(13);
    return font;
}

QRect ButtonAt(int top) {
    return {kButtonLeft, top, kButtonWidth, kButtonHeight};
}

Prompter::FileDialogOptions AnyFile() {
    Prompter::FileDialogOptions options;
    options.filter = QStringLiteral("*.*|*.*");
    options.filterIndex = 0;
    return options;
}

} // namespace

CommandToolPage::CommandToolPage(OperationHost& host, EditorBuffers& editors, QWidget* parent)
    : MainPage(host, parent), editors_(editors) {
    ControlKit kit(this, kCaptions);

    RichEditTText = kit.Add<QPlainTextEdit>(this, "RichEditTText", {8, 8, 561, 313});
    RichEditTText->setLineWrapMode(QPlainTextEdit::NoWrap);
    RichEditTText->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichEditTText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichEditTText->setFont(EditorFont());
    connect(RichEditTText->document(), &QTextDocument::contentsChange, this,
            [this](int position, int, int added) { KeepWithinLimit(position, added); });

    // "Editor" and the editor numbers are not translated.
    QStringList numbers;
    for (int i = 1; i <= kEditorBufferCount; ++i)
        numbers << QString::number(i);
    RadioGroupSelect =
        kit.Add<RadioGroup>(this, "RadioGroupSelect", {kButtonLeft, 4, kButtonWidth, 317}, 1);
    RadioGroupSelect->setTitle(QStringLiteral("Editor"));
    RadioGroupSelect->AddItems(numbers);
    RadioGroupSelect->SetItemIndex(0);
    connect(RadioGroupSelect, &RadioGroup::Click, this, &CommandToolPage::RadioGroupSelectClick);

    ButtonSendFile = kit.Add<QPushButton>(this, "ButtonSendFile", ButtonAt(334));
    ButtonSend = kit.Add<QPushButton>(this, "ButtonSend", ButtonAt(366));
    ButtonLoadFile = kit.Add<QPushButton>(this, "ButtonLoadFile", ButtonAt(398));
    ButtonSaveFile = kit.Add<QPushButton>(this, "ButtonSaveFile", ButtonAt(430));
    connect(ButtonSendFile, &QPushButton::clicked, this, &CommandToolPage::ButtonSendFileClick);
    connect(ButtonSend, &QPushButton::clicked, this, &CommandToolPage::ButtonSendClick);
    connect(ButtonLoadFile, &QPushButton::clicked, this, &CommandToolPage::ButtonLoadFileClick);
    connect(ButtonSaveFile, &QPushButton::clicked, this, &CommandToolPage::ButtonSaveFileClick);

    CheckBoxShowReplies = kit.Add<QCheckBox>(this, "CheckBoxShowReplies", {8, 327, 300, 19});
    MemoReplies = kit.Add<QPlainTextEdit>(this, "MemoReplies", {8, 348, 561, 133});
    MemoReplies->setReadOnly(true);
    MemoReplies->setLineWrapMode(QPlainTextEdit::NoWrap);
    MemoReplies->setFont(EditorFont());
    MemoReplies->setEnabled(false);
    connect(CheckBoxShowReplies, &QCheckBox::toggled, MemoReplies, &QWidget::setEnabled);
}

std::span<const CaptionEntry> CommandToolPage::Captions() const {
    return kCaptions;
}

void CommandToolPage::StartupDone() {
    // The texts start empty, with the first one shown.
    editors_.Clear();
    RichEditTText->clear();
    RadioGroupSelect->SetItemIndex(0);
}

TextMapping CommandToolPage::ShownMapping() const {
    return editors_.texts[editors_.shown].mapping;
}

QByteArray CommandToolPage::EditorBytes() const {
    return TextToBytes(RichEditTText->document()->toRawText(), ShownMapping());
}

void CommandToolPage::KeepWithinLimit(int position, int added) {
    if (trimming_ || added <= 0)
        return;
    const qsizetype excess = RichEditTText->document()->characterCount() - 1 - kMaxEditorCharacters;
    if (excess <= 0)
        return;
    trimming_ = true;
    QTextCursor cursor(RichEditTText->document());
    const int end = position + added;
    cursor.setPosition(static_cast<int>(std::max<qsizetype>(position, end - excess)));
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    trimming_ = false;
}

void CommandToolPage::RadioGroupSelectClick() {
    EditorBuffers& editors = editors_;
    const int chosen = RadioGroupSelect->ItemIndex();
    if (chosen < 0 || chosen >= kEditorBufferCount || chosen == editors.shown)
        return;
    editors.texts[editors.shown].text = RichEditTText->document()->toRawText();
    // The shown text lives in the editor only.
    RichEditTText->setPlainText(editors.texts[chosen].text);
    editors.texts[chosen].text = QString();
    editors.shown = chosen;
}

void CommandToolPage::SendBytes(QByteArray bytes) {
    if (bytes.size() > std::numeric_limits<int32_t>::max()) {
        Host().Prompts().Error(Host().HostWindow(), QStringLiteral("File too large"));
        return;
    }
    if (!CheckBoxShowReplies->isChecked()) {
        Host().RunWithWindowEnabled([&bytes](PrinterLink& link, InterfaceKind kind) {
            return Dispatch<Op::SendData>(link, kind, std::span<const char>(bytes));
        });
        return;
    }
    MemoReplies->clear();
    std::string replies;
    Host().RunWithWindowEnabled([&](PrinterLink& link, InterfaceKind kind) {
        return SendAndCollectReplies(link, kind, bytes, kReplyWindow, replies);
    });
    MemoReplies->setPlainText(DescribeReplies(replies).join(QLatin1Char('\n')));
}

void CommandToolPage::ButtonSendClick() {
    const QTextCursor cursor = RichEditTText->textCursor();
    const QString text =
        cursor.hasSelection() ? cursor.selectedText() : RichEditTText->document()->toRawText();
    SendBytes(TextToBytes(text, ShownMapping()));
    RichEditTText->setFocus();
}

void CommandToolPage::ButtonSendFileClick() {
    Prompter& prompts = Host().Prompts();
    const std::optional<QString> path = prompts.OpenFile(Host().HostWindow(), AnyFile());
    if (!path)
        return;
    // Operation 14 counts its bytes in 31 bits; a larger file is not read at all.
    std::optional<QByteArray> bytes =
        LoadWholeFile(Host(), *path,
                      {.cannotOpen = QStringLiteral("Open file Error!!!"),
                       .cannotRead = QStringLiteral("Open file Error!!!"),
                       .sizeLimit = std::numeric_limits<int32_t>::max(),
                       .tooLarge = QStringLiteral("File too large")});
    if (!bytes)
        return;
    SendBytes(std::move(*bytes));
}

void CommandToolPage::ButtonLoadFileClick() {
    const std::optional<QString> path = Host().Prompts().OpenFile(Host().HostWindow(), AnyFile());
    if (!path)
        return;
    // No character takes more than four bytes, and the editor holds no more than its
    // limit: the rest of a larger file is not read. A file that cannot be opened: nothing,
    // no message.
    const std::optional<QByteArray> content =
        LoadWholeFile(Host(), *path,
                      {.cannotRead = QStringLiteral("Open file Error!!!"),
                       .readLimit = 4 * kMaxEditorCharacters});
    if (!content)
        return;
    const QByteArrayView bytes = UpToFirstZero(*content);

    EditorBuffer& slot = editors_.texts[editors_.shown];
    QTextDocument* document = RichEditTText->document();
    const TextMapping fileMapping = MappingFor(bytes);
    if (document->isEmpty()) {
        slot.mapping = fileMapping;
    } else if (slot.mapping == TextMapping::Utf8 && fileMapping == TextMapping::Latin1) {
        // The text so far keeps its bytes under the mapping both parts fit.
        const QByteArray earlier = TextToBytes(document->toRawText(), TextMapping::Utf8);
        RichEditTText->setPlainText(BytesToText(earlier, TextMapping::Latin1));
        slot.mapping = TextMapping::Latin1;
    }
    QString text = BytesToText(bytes, slot.mapping);
    const qsizetype room = kMaxEditorCharacters - (document->characterCount() - 1);
    if (text.size() > room)
        text.truncate(std::max<qsizetype>(room, 0));

    QTextCursor cursor(document);
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(text);
}

void CommandToolPage::ButtonSaveFileClick() {
    Prompter::FileDialogOptions options = AnyFile();
    options.defaultExtension.clear();
    const std::optional<QString> path = Host().Prompts().SaveFile(Host().HostWindow(), options);
    if (!path)
        return;
    // A text that did not reach the disk is said so, never taken for saved.
    SaveWholeFile(Host(), *path, EditorBytes(), QStringLiteral("Save File Error"));
}
