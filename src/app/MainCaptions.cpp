#include "app/MainCaptions.h"

#include <iterator>

namespace {

constexpr int kCaption = -1;

// Sections follow the window: the frame and the first page, the configuration group, its
// "Z", "D" and "Interface" tabs with the configuration buttons, the file manager, the bitmap
// font manager, the command tool. Each page adds its controls' entries in its section.
const MainCaptionEntry kMainCaptions[] = {
    // Frame and first page.
    {"GroupBoxLanguage", kCaption, {"Language", "語言", "语言"}},
    {"ComboBoxLanguage", 0, {"English", "英文", "英文"}},
    {"ComboBoxLanguage", 1, {"Traditional Chinese", "繁體中文", "繁体中文"}},
    {"ComboBoxLanguage", 2, {"Simplified Chinese", "簡體中文", "简体中文"}},
    {"GroupBoxPrinterFunction", kCaption, {"Printer Function", "印表機功能", "打印机功能"}},
    {"ButtonEthernet", kCaption, {"Ethernet Setup", "網路設定", "网络设定"}},
    {"ButtonPassword", kCaption, {"Password Setup", "密碼設定", "密码设定"}},
    {"GroupBoxInterFace", kCaption, {"Interface", "通訊介面", "通讯接口"}},
    {"ButtonInterFace", kCaption, {"Setup", "設定", "设定"}},
    {"GroupBoxPrinterStatus", kCaption, {"Printer Status", "印表機狀態", "打印机状态"}},
    {"ButtonGetStatus", kCaption, {"Get Status", "讀取狀態", "读取状态"}},
    {"TabSheet1", kCaption, {"Printer Configuration", "印表機設定", "打印机设定"}},
    {"TabSheet2", kCaption, {"File Manager", "檔案管理", "档案管理"}},
    {"TabSheet3", kCaption, {"Bitmap Font Manager", "點陣字工具", "点阵字工具"}},
    {"TabSheet4", kCaption, {"Command Tool", "通訊工具", "通讯工具"}},

    // Configuration group.
    {"GroupBoxPrintreConfig", kCaption, {"Printer Configuration", "印表機設定", "打印机设定"}},
    {"RadioGroupUnit", kCaption, {"Unit", "單位", "单位"}},
    {"RadioGroupUnit", 0, {"inch", "英吋", "英吋"}},
    {"RadioGroupUnit", 1, {"mm", "公厘", "毫米"}},

    // "Z" page.

    // "D" page.

    // "Interface" page and configuration buttons.
    {"ButtonRead", kCaption, {"Read", "讀取", "读取"}},

    // File manager.

    // Bitmap font manager.

    // Command tool.
};

} // namespace

std::span<const MainCaptionEntry> MainCaptionTable() {
    return kMainCaptions;
}
