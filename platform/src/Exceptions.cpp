#include <System/Exceptions.h>
#include <System/Handle.h>
#include <System/String.h>

namespace System {

namespace {
// what() is for diagnostics only; the managed text stays available through Message().
std::string asciiRendering(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char16_t unit : text) out.push_back(unit < 0x80 ? static_cast<char>(unit) : '?');
    return out;
}
} // namespace

namespace detail {
void throwNullReference() {
    throw NullReferenceException();
}
} // namespace detail

Exception::Exception() : Exception(u"Exception of type 'System.Exception' was thrown.") {}
Exception::Exception(std::u16string_view message) {
    setMessage(message);
}
Exception::~Exception() = default;

void Exception::setMessage(std::u16string_view message) {
    message_ = message;
    what_ = asciiRendering(message);
}

Handle<String> Exception::Message() const {
    return gcnew<String>(message_);
}
const char* Exception::what() const noexcept {
    return what_.c_str();
}

SystemException::~SystemException() = default;

ArgumentException::ArgumentException() : SystemException(u"Value does not fall within the expected range.") {}
ArgumentException::ArgumentException(std::u16string_view message) : SystemException(message) {}
ArgumentException::ArgumentException(std::u16string_view message, std::u16string_view paramName)
    : SystemException(message), paramName_(paramName), hasParamName_(true) {}
ArgumentException::~ArgumentException() = default;

Handle<String> ArgumentException::ParamName() const {
    return hasParamName_ ? gcnew<String>(paramName_) : nullptr;
}

ArgumentNullException::ArgumentNullException(std::u16string_view paramName)
    : ArgumentException(u"Value cannot be null.", paramName) {}
ArgumentNullException::ArgumentNullException(std::u16string_view paramName, std::u16string_view message)
    : ArgumentException(message, paramName) {}
ArgumentNullException::~ArgumentNullException() = default;

ArgumentOutOfRangeException::ArgumentOutOfRangeException(std::u16string_view paramName)
    : ArgumentException(u"Specified argument was out of the range of valid values.", paramName) {}
ArgumentOutOfRangeException::ArgumentOutOfRangeException(std::u16string_view paramName, std::u16string_view message)
    : ArgumentException(message, paramName) {}
ArgumentOutOfRangeException::~ArgumentOutOfRangeException() = default;

OutOfMemoryException::OutOfMemoryException()
    : SystemException(u"Insufficient memory to continue the execution of the program.") {}
OutOfMemoryException::OutOfMemoryException(std::u16string_view message) : SystemException(message) {}
OutOfMemoryException::~OutOfMemoryException() = default;

InsufficientMemoryException::InsufficientMemoryException()
    : OutOfMemoryException(u"Insufficient memory to continue the execution of the program.") {}
InsufficientMemoryException::InsufficientMemoryException(std::u16string_view message) : OutOfMemoryException(message) {}
InsufficientMemoryException::~InsufficientMemoryException() = default;

InvalidCastException::InvalidCastException() : SystemException(u"Specified cast is not valid.") {}
InvalidCastException::InvalidCastException(std::u16string_view message) : SystemException(message) {}
InvalidCastException::~InvalidCastException() = default;

InvalidOperationException::InvalidOperationException()
    : SystemException(u"Operation is not valid due to the current state of the object.") {}
InvalidOperationException::InvalidOperationException(std::u16string_view message) : SystemException(message) {}
InvalidOperationException::~InvalidOperationException() = default;

NullReferenceException::NullReferenceException()
    : SystemException(u"Object reference not set to an instance of an object.") {}
NullReferenceException::NullReferenceException(std::u16string_view message) : SystemException(message) {}
NullReferenceException::~NullReferenceException() = default;

} // namespace System
