#pragma once

#include <cstdint>
#include <memory>

namespace kestrin {

// A uniform source of single-precision reals u with 0 <= u < 1.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual float draw() = 0;
    // A source that goes on from where this one stands; this one is left as it is.
    virtual std::unique_ptr<RandomSource> copy() const = 0;
};

// PCG32 (XSH RR) from a fixed starting state. Every process starts the same
// sequence, on every compiler and platform: the state advances with plain
// 64-bit integer arithmetic and a draw keeps the top 24 bits of the output,
// which a float holds exactly, so u is never 1.0. Period 2^64.
class FixedStartRandom final : public RandomSource {
public:
    FixedStartRandom();
    float draw() override;
    std::unique_ptr<RandomSource> copy() const override;
    std::uint32_t next32();

private:
    std::uint64_t state_;
    std::uint64_t increment_;
};

// The one source of the whole process: started at the first use, never reseeded.
RandomSource& processRandom();

} // namespace kestrin
