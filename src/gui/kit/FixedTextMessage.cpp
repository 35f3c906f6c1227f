#include "gui/kit/FixedTextMessage.h"

#include "gui/kit/Language.h"

namespace {

const CaptionText kTooLong = {"%1 is too long.", "%1太長。", "%1太长。"};
const CaptionText kNotEncodable = {"%1 contains characters that cannot be stored.",
                                   "%1含有無法儲存的字元。", "%1含有无法储存的字符。"};

} // namespace

QString FixedTextRefusal(FixedTextResult result, const QString& field, int languageIndex) {
    QString name = field.trimmed();
    if (name.endsWith(QLatin1Char(':')) || name.endsWith(QChar(0xFF1A)))
        name.chop(1);
    switch (result) {
    case FixedTextResult::Stored:
        break;
    case FixedTextResult::TooLong:
        return TextFor(kTooLong, languageIndex).arg(name);
    case FixedTextResult::NotEncodable:
        return TextFor(kNotEncodable, languageIndex).arg(name);
    }
    return {};
}
