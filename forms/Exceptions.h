#pragma once
// The framework's exception classes. Messages are the system's own texts (UTF-16).
#include <exception>
#include <string>

namespace forms {

class Exception : public std::exception {
public:
    explicit Exception(std::wstring message) : message_(std::move(message)) {}
    const std::wstring& Message() const { return message_; }
    const char* what() const noexcept override { return "forms::Exception"; }
private:
    std::wstring message_;
};

#define KURUN_EXCEPTION_CLASS(Name, Base) \
    class Name : public Base { public: using Base::Base; };

KURUN_EXCEPTION_CLASS(EInvalidGraphic, Exception)
KURUN_EXCEPTION_CLASS(EConvertError, Exception)
KURUN_EXCEPTION_CLASS(EOutOfMemory, Exception)
KURUN_EXCEPTION_CLASS(EOutOfResources, Exception)
KURUN_EXCEPTION_CLASS(EInvalidOperation, Exception)
KURUN_EXCEPTION_CLASS(EListError, Exception)
KURUN_EXCEPTION_CLASS(ERangeError, Exception)
KURUN_EXCEPTION_CLASS(EReadError, Exception)
KURUN_EXCEPTION_CLASS(EClassNotFound, Exception)
KURUN_EXCEPTION_CLASS(EResNotFound, Exception)
KURUN_EXCEPTION_CLASS(EOSError, Exception)
KURUN_EXCEPTION_CLASS(EIniFileException, Exception)

#undef KURUN_EXCEPTION_CLASS

// Any exception as a framework exception; one of another kind becomes one with an empty message.
Exception AsFrameworkException(std::exception_ptr error);

}  // namespace forms
