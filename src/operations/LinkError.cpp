#include "operations/LinkError.h"

namespace {
// Six entries of at most 40 bytes, indexed by the code.
const char kLinkErrorTexts[6][40] = {
    "",
    "Port Open Error",
    "Data Transmission Error",
    "Data Receiving Error",
    "File Open Error",
    "Unknow Error",
};
} // namespace

const char* LinkErrorText(int32_t code) {
    if (code < 0 || code > 5)
        return "";
    return kLinkErrorTexts[code];
}
