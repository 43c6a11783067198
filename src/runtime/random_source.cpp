#include "random_source.h"

namespace kestrin {

namespace {
constexpr std::uint64_t kMultiplier = 6364136223846793005ULL;
constexpr std::uint64_t kStartState = 0x4b657374726e3230ULL; // "Kestrn20"
constexpr std::uint64_t kStream = 0x5375616e5375616eULL;
} // namespace

FixedStartRandom::FixedStartRandom()
    : state_(0)
    , increment_((kStream << 1U) | 1U)
{
    next32();
    state_ += kStartState;
    next32();
}

std::uint32_t FixedStartRandom::next32()
{
    const std::uint64_t old = state_;
    state_ = old * kMultiplier + increment_;
    const auto xorshifted = static_cast<std::uint32_t>(((old >> 18U) ^ old) >> 27U);
    const auto rot = static_cast<std::uint32_t>(old >> 59U);
    return (xorshifted >> rot) | (xorshifted << ((32U - rot) & 31U));
}

float FixedStartRandom::draw()
{
    return static_cast<float>(next32() >> 8U) * (1.0F / 16777216.0F);
}

std::unique_ptr<RandomSource> FixedStartRandom::copy() const
{
    return std::make_unique<FixedStartRandom>(*this);
}

RandomSource& processRandom()
{
    static FixedStartRandom source;
    return source;
}

} // namespace kestrin
