// GBK through Windows' own code page 936 conversion.
#include "gbk_encoder.h"

#include <windows.h>

namespace kestrin {

namespace {

constexpr UINT kGbkCodePage = 936;

class WindowsGbkEncoder final : public GbkEncoder {
public:
    bool encode(QStringView text, QByteArray& out, QString* unmappable) override
    {
        if (text.isEmpty())
            return true;
        const auto* wide = reinterpret_cast<const wchar_t*>(text.utf16());
        const int length = int(text.size());
        BOOL usedDefault = FALSE;
        // No best-fit mapping: a character without a GBK form is reported, not
        // silently turned into a look-alike or a question mark.
        const int needed = WideCharToMultiByte(kGbkCodePage, WC_NO_BEST_FIT_CHARS, wide, length,
                                               nullptr, 0, nullptr, &usedDefault);
        if (needed <= 0 || usedDefault) {
            if (unmappable)
                *unmappable = firstUnmappable(*this, text);
            return false;
        }
        const qsizetype start = out.size();
        out.resize(start + needed);
        const int written = WideCharToMultiByte(kGbkCodePage, WC_NO_BEST_FIT_CHARS, wide, length,
                                                out.data() + start, needed, nullptr, &usedDefault);
        if (written != needed || usedDefault) {
            out.truncate(start);
            if (unmappable)
                *unmappable = firstUnmappable(*this, text);
            return false;
        }
        return true;
    }
};

} // namespace

std::unique_ptr<GbkEncoder> makeSystemGbkEncoder()
{
    CPINFO info;
    if (!IsValidCodePage(kGbkCodePage) || !GetCPInfo(kGbkCodePage, &info))
        return nullptr;
    return std::make_unique<WindowsGbkEncoder>();
}

} // namespace kestrin
