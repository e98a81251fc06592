#include "StrictNumber.h"

#include <charconv>
#include <cmath>

namespace velumo {

NumberCheck checkNumber(std::string_view text, double* value)
{
    // from_chars takes no "+" of its own; in general format it reads no hex.
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && text.front() == '-')
            return NumberCheck::NotANumber;
    }
    if (text.empty())
        return NumberCheck::NotANumber;
    const char* last = text.data() + text.size();
    double v = 0.0;
    auto [end, ec] = std::from_chars(text.data(), last, v, std::chars_format::general);
    if (end != last)
        return NumberCheck::NotANumber;
    if (ec == std::errc::result_out_of_range || (ec == std::errc() && !std::isfinite(v)))
        return NumberCheck::NotFinite;
    if (ec != std::errc())
        return NumberCheck::NotANumber;
    *value = v;
    return NumberCheck::Ok;
}

} // namespace velumo
