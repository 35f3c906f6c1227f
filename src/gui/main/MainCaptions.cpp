#include "gui/main/MainCaptions.h"

#include <iterator>

namespace {

constexpr int kCaption = kCaptionEntry;

// The frame: the top row, the status group and the page tabs. The printer function group's
// span goes after the language group; the pages' spans follow in the order the window
// applies them.
const CaptionText kStatusWords[] = {
    {"Ready", "待機中", "待机中"},
    {"Head Open", "印表機開啟", "打印机开启"},
    {"Paper Jam", "紙張卡紙", "纸张卡纸"},
    {"Out of Paper", "紙張用盡", "纸张用尽"},
    {"Out of Ribbon", "碳帶用盡", "碳带用尽"},
    {"Ribbon Encode Error", "碳帶轉速錯誤", "碳带转速错误"},
    {"Pause", "暫停", "暂停"},
    {"Printting", "列印中", "打印中"},
    {"Other Error", "其他錯誤", "其它错误"},
};

const CaptionEntry kMainCaptions[] = {
    {"GroupBoxLanguage", kCaption, {"Language", "語言", "语言"}},
    {"ComboBoxLanguage", 0, {"English", "英文", "英文"}},
    {"ComboBoxLanguage", 1, {"Traditional Chinese", "繁體中文", "繁体中文"}},
    {"ComboBoxLanguage", 2, {"Simplified Chinese", "簡體中文", "简体中文"}},
    {"GroupBoxInterFace", kCaption, {"Interface", "通訊介面", "通讯接口"}},
    {"ButtonInterFace", kCaption, {"Setup", "設定", "设定"}},
    {"GroupBoxPrinterStatus", kCaption, {"Printer Status", "印表機狀態", "打印机状态"}},
    {"ButtonGetStatus", kCaption, {"Get Status", "讀取狀態", "读取状态"}},
    {"TabSheet1", kCaption, {"Printer Configuration", "印表機設定", "打印机设定"}},
    {"TabSheet2", kCaption, {"File Manager", "檔案管理", "档案管理"}},
    {"TabSheet3", kCaption, {"Bitmap Font Manager", "點陣字工具", "点阵字工具"}},
    {"TabSheet4", kCaption, {"Command Tool", "通訊工具", "通讯工具"}},
};

} // namespace

std::span<const CaptionEntry> MainCaptionTable() {
    return kMainCaptions;
}

const CaptionText& StatusWordCaption(StatusWord word) {
    return kStatusWords[static_cast<int>(word)];
}
