#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <memory>

namespace kestrin {

// Text to GBK (code page 936) bytes, by the platform's own converter: ICU
// through Qt where Qt has it, the system's code page 936 on Windows. A
// character that has no GBK form is never dropped or replaced: encode() then
// fails and names it.
class GbkEncoder {
public:
    virtual ~GbkEncoder() = default;
    // Appends the GBK bytes of `text` to `out` and returns true; false when some
    // character has no GBK form, with that character in *unmappable (`out` may
    // then hold part of the text).
    virtual bool encode(QStringView text, QByteArray& out, QString* unmappable = nullptr) = 0;
};

// The platform's GBK encoder, or nullptr where this system has none.
std::unique_ptr<GbkEncoder> makeSystemGbkEncoder();

// The first character of `text` that `encoder` cannot encode (a surrogate pair
// counts as one character); an empty string when there is none.
QString firstUnmappable(GbkEncoder& encoder, QStringView text);

} // namespace kestrin
