#pragma once
// The rules that end every record of the other makers' pages, whatever page is active:
// zeroing, dot gain, trapping, tone value and the differences, on what the page's own
// section left in RecBuf. The colour set holds the colour letters they may take.
#include "parsers/family.h"

#include <string>

namespace qorva {

void PageIndependentRules(const ParserContext& ctx, const std::string& colourSet);

} // namespace qorva
