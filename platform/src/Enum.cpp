#include <System/Enum.h>

namespace System {

std::u16string Enum::decimal(std::int64_t value) {
    const std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

std::u16string Enum::notFound(std::u16string_view text) {
    std::u16string message = u"Requested value '";
    message += text;
    message += u"' was not found.";
    return message;
}

} // namespace System
