#pragma once

// 综合乘算: sets of multiplications from four groups of factor digit counts,
// mixed and laid out like the division sets.

#include "gen/div/mixed_group_sheet.h"

namespace kestrin::mul {

const div::MixedGroupKind& mixedMultiplicationKind();

} // namespace kestrin::mul
