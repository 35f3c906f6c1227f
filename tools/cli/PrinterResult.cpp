#include "PrinterResult.h"

#include "operations/LinkError.h"

QString ResultText(int code) {
    switch (code) {
    case kRefusedByPassword:
        return QStringLiteral("Incorrect");
    case kNotStarted:
        return QStringLiteral("Not Started");
    case kNotBack:
        return QStringLiteral("Not Back");
    case kWrongVersion:
        return QStringLiteral("Wrong Version");
    case kRefusedSetting:
        return QStringLiteral("Refused");
    case kNotTaken:
        return QStringLiteral("Not Taken");
    default:
        break;
    }
    return QString::fromLatin1(LinkErrorText(code));
}
