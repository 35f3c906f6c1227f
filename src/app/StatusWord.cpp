#include "operations/StatusWord.h"

namespace {

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

bool Set(const PrinterStatus& status, PrinterStatusFlag flag) {
    return status.flags[flag] != 0;
}

} // namespace

StatusWord StatusWordFor(const PrinterStatus& status) {
    // Each rule that applies replaces the word before it; the last one wins.
    StatusWord word = StatusWord::Ready;
    if (Set(status, StatusPrinting))
        word = StatusWord::Printing;
    if (Set(status, StatusPaused))
        word = StatusWord::Paused;
    if (Set(status, StatusPaperJam))
        word = StatusWord::PaperJam;
    if (Set(status, StatusOutOfPaper))
        word = StatusWord::OutOfPaper;
    if (Set(status, StatusRibbonFault) && Set(status, StatusRibbonEncoderError))
        word = StatusWord::RibbonEncoderError;
    if (Set(status, StatusRibbonFault) && Set(status, StatusOutOfRibbon))
        word = StatusWord::OutOfRibbon;
    if (Set(status, StatusOtherError))
        word = StatusWord::OtherError;
    if (Set(status, StatusHeadOpen))
        word = StatusWord::HeadOpen;
    return word;
}

const CaptionText& StatusWordCaption(StatusWord word) {
    return kStatusWords[static_cast<int>(word)];
}
