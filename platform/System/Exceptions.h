// The managed exception family, as far as the bridge and the service raise and catch it.
#pragma once

#include <System/Export.h>

#include <exception>
#include <string>
#include <string_view>

namespace System {

template <class T>
class Handle;
class String;

// Messages and parameter names are UTF-16 like every managed string; what() gives an ASCII rendering
// for diagnostics only (anything outside ASCII shows as '?').
class SYSTEM_API Exception : public std::exception {
public:
    Exception();
    explicit Exception(std::u16string_view message);
    ~Exception() override;

    Handle<String> Message() const;
    const char* what() const noexcept override;

protected:
    void setMessage(std::u16string_view message);

private:
    std::u16string message_;
    std::string what_;
};

class SYSTEM_API SystemException : public Exception {
public:
    using Exception::Exception;
    ~SystemException() override;
};

class SYSTEM_API ArgumentException : public SystemException {
public:
    ArgumentException();
    explicit ArgumentException(std::u16string_view message);
    ArgumentException(std::u16string_view message, std::u16string_view paramName);
    ~ArgumentException() override;

    // Null when the exception names no parameter.
    Handle<String> ParamName() const;

private:
    std::u16string paramName_;
    bool hasParamName_ = false;
};

class SYSTEM_API ArgumentNullException : public ArgumentException {
public:
    explicit ArgumentNullException(std::u16string_view paramName);
    ArgumentNullException(std::u16string_view paramName, std::u16string_view message);
    ~ArgumentNullException() override;
};

class SYSTEM_API ArgumentOutOfRangeException : public ArgumentException {
public:
    explicit ArgumentOutOfRangeException(std::u16string_view paramName);
    ArgumentOutOfRangeException(std::u16string_view paramName, std::u16string_view message);
    ~ArgumentOutOfRangeException() override;
};

class SYSTEM_API OutOfMemoryException : public SystemException {
public:
    OutOfMemoryException();
    explicit OutOfMemoryException(std::u16string_view message);
    ~OutOfMemoryException() override;
};

class SYSTEM_API InsufficientMemoryException : public OutOfMemoryException {
public:
    InsufficientMemoryException();
    explicit InsufficientMemoryException(std::u16string_view message);
    ~InsufficientMemoryException() override;
};

class SYSTEM_API InvalidCastException : public SystemException {
public:
    InvalidCastException();
    explicit InvalidCastException(std::u16string_view message);
    ~InvalidCastException() override;
};

class SYSTEM_API InvalidOperationException : public SystemException {
public:
    InvalidOperationException();
    explicit InvalidOperationException(std::u16string_view message);
    ~InvalidOperationException() override;
};

class SYSTEM_API NullReferenceException : public SystemException {
public:
    NullReferenceException();
    explicit NullReferenceException(std::u16string_view message);
    ~NullReferenceException() override;
};

} // namespace System
