// GBK through ICU's converter, the one Linux systems' Qt and programs share;
// called directly, so that the bytes do not depend on which Qt the program
// is built with.
#include "gbk_encoder.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_err.h>

namespace kestrin {

namespace {

class IcuGbkEncoder final : public GbkEncoder {
public:
    IcuGbkEncoder()
    {
        UErrorCode status = U_ZERO_ERROR;
        converter_ = ucnv_open("GBK", &status);
        if (U_FAILURE(status)) {
            ucnv_close(converter_);
            converter_ = nullptr;
            return;
        }
        // A character without a GBK form stops the conversion: never a
        // substitute character in its place.
        ucnv_setFromUCallBack(converter_, UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
        if (U_FAILURE(status)) {
            ucnv_close(converter_);
            converter_ = nullptr;
        }
    }
    ~IcuGbkEncoder() override { ucnv_close(converter_); }
    IcuGbkEncoder(const IcuGbkEncoder&) = delete;
    IcuGbkEncoder& operator=(const IcuGbkEncoder&) = delete;

    bool valid() const { return converter_ != nullptr; }

    bool encode(QStringView text, QByteArray& out, QString* unmappable) override
    {
        if (text.isEmpty())
            return true;
        ucnv_resetFromUnicode(converter_);
        const auto* source = reinterpret_cast<const UChar*>(text.utf16());
        const int32_t length = int32_t(text.size());
        UErrorCode status = U_ZERO_ERROR;
        const int32_t needed = ucnv_fromUChars(converter_, nullptr, 0, source, length, &status);
        if (status == U_BUFFER_OVERFLOW_ERROR) {
            status = U_ZERO_ERROR;
            const qsizetype start = out.size();
            out.resize(start + needed);
            const int32_t written = ucnv_fromUChars(converter_, out.data() + start, needed, source, length, &status);
            if (U_SUCCESS(status) && written == needed)
                return true;
            out.truncate(start);
        }
        if (U_SUCCESS(status) && needed == 0)
            return true;
        ucnv_resetFromUnicode(converter_);
        if (unmappable)
            *unmappable = firstUnmappable(*this, text);
        return false;
    }

private:
    UConverter* converter_ = nullptr;
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
