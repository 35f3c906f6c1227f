#include "PrinterResult.h"

#include "operations/LinkError.h"

QString ResultText(int code) {
    if (code == kRefusedByPassword)
        return QStringLiteral("Incorrect");
    return QString::fromLatin1(LinkErrorText(code));
}
