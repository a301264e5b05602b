// Short ways to build service values in tests, and a scoped code page for the calling thread.
#pragma once

#include <System/List.h>
#include <System/String.h>
#include <win32/CodePage.h>

#include <initializer_list>
#include <string>
#include <string_view>

namespace test {

using System::gcnew;
using System::Handle;
using System::String;
using System::Collections::Generic::List;

inline Handle<String> S(std::u16string_view text) { return gcnew<String>(text); }

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

} // namespace test
