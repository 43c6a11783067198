// GBK through Qt's converters, which Debian's Qt backs with ICU.
#include "gbk_encoder.h"

#include <QStringEncoder>
#include <optional>

namespace kestrin {

namespace {

class IcuGbkEncoder final : public GbkEncoder {
public:
    IcuGbkEncoder() { encoder_.emplace("GBK", QStringConverter::Flag::Stateless); }
    bool valid() const { return encoder_->isValid(); }

    bool encode(QStringView text, QByteArray& out, QString* unmappable) override
    {
        out.append(encoder_->encode(text));
        if (!encoder_->hasError())
            return true;
        // The error stays with an ICU-backed encoder even through resetState():
        // later texts get a fresh one.
        encoder_.emplace("GBK", QStringConverter::Flag::Stateless);
        if (unmappable) {
            IcuGbkEncoder probe;
            *unmappable = firstUnmappable(probe, text);
        }
        return false;
    }

private:
    std::optional<QStringEncoder> encoder_;
};

} // namespace

std::unique_ptr<GbkEncoder> makeSystemGbkEncoder()
{
    auto encoder = std::make_unique<IcuGbkEncoder>();
    if (!encoder->valid())
        return nullptr;
    return encoder;
}

} // namespace kestrin
