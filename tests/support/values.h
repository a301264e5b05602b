// Short ways to build service values in tests, and a scoped code page for the calling thread.
#pragma once

#include <System/List.h>
#include <System/String.h>
#include <win32/CodePage.h>

#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>

namespace test {

using System::gcnew;
using System::Handle;
using System::String;
using System::Collections::Generic::List;

inline Handle<String> S(std::u16string_view text) {
    return gcnew<String>(text);
}

// The text of a service string; "<null>" for a null one, so assertions show the difference.
inline std::u16string T(const Handle<String>& text) {
    return text == nullptr ? std::u16string(u"<null>") : std::u16string(text->View());
}

template <class U>
Handle<List<U>> listOf(std::initializer_list<U> items) {
    auto list = gcnew<List<U>>();
    for (const auto& item : items) list->Add(item);
    return list;
}

// Sets the calling thread's code page for the scope.
class CodePageScope {
public:
    explicit CodePageScope(unsigned codePage) : previous_(win32::SetThreadAnsiCodePage(codePage)) {}
    ~CodePageScope() { win32::SetThreadAnsiCodePage(previous_); }
    CodePageScope(const CodePageScope&) = delete;
    CodePageScope& operator=(const CodePageScope&) = delete;

private:
    unsigned previous_;
};

// Runs `f` and returns the exception of type `Exception` it raised; any other outcome fails the test.
template <class Exception, class F>
Exception raised(F&& f) {
    try {
        f();
    } catch (const Exception& e) {
        return e;
    }
    ADD_FAILURE() << "expected an exception";
    throw std::logic_error("no exception");
}

// Sets the process's time zone (a POSIX TZ string) for the scope.
class ZoneScope {
public:
    explicit ZoneScope(const char* zone) {
        if (const char* old = std::getenv("TZ")) previous_ = old, hadPrevious_ = true;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~ZoneScope() {
        if (hadPrevious_)
            setenv("TZ", previous_.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }
    ZoneScope(const ZoneScope&) = delete;
    ZoneScope& operator=(const ZoneScope&) = delete;

private:
    std::string previous_;
    bool hadPrevious_ = false;
};

} // namespace test
