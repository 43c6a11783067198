#include "gbk_encoder.h"

namespace kestrin {

QString firstUnmappable(GbkEncoder& encoder, QStringView text)
{
    QByteArray scratch;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype length =
            (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) ? 2 : 1;
        const QStringView character = text.mid(i, length);
        scratch.clear();
        if (!encoder.encode(character, scratch))
            return character.toString();
        i += length;
    }
    return QString();
}

} // namespace kestrin
