#include "app/MainCaptions.h"

#include <iterator>

namespace {

constexpr int kCaption = kCaptionEntry;

// The frame and the first page: the top row, the printer function group, the status group
// and the page tabs. The pages' spans follow in the order the window applies them.
const CaptionEntry kMainCaptions[] = {
    // Frame and first page.
    {"GroupBoxLanguage", kCaption, {"Language", "語言", "语言"}},
    {"ComboBoxLanguage", 0, {"English", "英文", "英文"}},
    {"ComboBoxLanguage", 1, {"Traditional Chinese", "繁體中文", "繁体中文"}},
    {"ComboBoxLanguage", 2, {"Simplified Chinese", "簡體中文", "简体中文"}},
    {"GroupBoxPrinterFunction", kCaption, {"Printer Function", "印表機功能", "打印机功能"}},
    {"ButtonSensorCalibrate", kCaption, {"Calibrate Sensor", "感應器校正", "感应器校正"}},
    {"ButtonEthernet", kCaption, {"Ethernet Setup", "網路設定", "网络设定"}},
    {"ButtonRTCSetTime", kCaption, {"RTC Setup", "RTC設定", "RTC设定"}},
    {"ButtonInitial", kCaption, {"Factory Default", "印表機初始化", "打印机初始化"}},
    {"ButtonRestPrinter", kCaption, {"Reset Printer", "印表機重新啟動", "打印机重新启动"}},
    {"ButtonTestPatern", kCaption, {"Print Test Page", "列印測試頁", "打印测试页"}},
    {"ButtonSelfTest", kCaption, {"Configuration Page", "列印自測頁", "打印自测页"}},
    {"ButtonDump", kCaption, {"Dump Text", "除錯模式", "除错模式"}},
    {"ButtonIgnoreAuto", kCaption, {"Ignore AUTO.BAS", "忽略 AUTO.BAS", "忽略 AUTO.BAS"}},
    {"ButtonLineModeOut", kCaption, {"Out of Line Mode", "退出行模式", "退出行模式"}},
    {"ButtonPassword", kCaption, {"Password Setup", "密碼設定", "密码设定"}},
    {"GroupBoxInterFace", kCaption, {"Interface", "通訊介面", "通讯接口"}},
    {"ButtonInterFace", kCaption, {"Setup", "設定", "设定"}},
    {"GroupBoxPrinterStatus", kCaption, {"Printer Status", "印表機狀態", "打印机状态"}},
    {"ButtonGetStatus", kCaption, {"Get Status", "讀取狀態", "读取状态"}},
    {"TabSheet1", kCaption, {"Printer Configuration", "印表機設定", "打印机设定"}},
    {"TabSheet2", kCaption, {"File Manager", "檔案管理", "档案管理"}},
    {"TabSheet3", kCaption, {"Bitmap Font Manager", "點陣字工具", "点阵字工具"}},
    {"TabSheet4", kCaption, {"Command Tool", "通訊工具", "通讯工具"}},
    {"TabSheet8", kCaption, {"Interface", "通訊介面", "通讯接口"}},
};

} // namespace

std::span<const CaptionEntry> MainCaptionTable() {
    return kMainCaptions;
}
