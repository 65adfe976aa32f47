#pragma once
// What the application reports about itself to whoever watches it (the end-to-end suite). The
// product attaches nobody: every report site checks the pointer first, so no event is built and
// nothing is formatted unless an observer is attached.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

namespace AppObservers {

// One field of a report: a flag, a number or UTF-8 text.
struct Field {
    using Value = std::variant<bool, std::int64_t, double, std::string>;

    Field(std::string_view fieldName, bool flag) : name(fieldName), value(flag) {}
    Field(std::string_view fieldName, int number)
        : name(fieldName), value(static_cast<std::int64_t>(number)) {}
    Field(std::string_view fieldName, long number)
        : name(fieldName), value(static_cast<std::int64_t>(number)) {}
    Field(std::string_view fieldName, long long number)
        : name(fieldName), value(static_cast<std::int64_t>(number)) {}
    Field(std::string_view fieldName, double number) : name(fieldName), value(number) {}
    Field(std::string_view fieldName, std::string_view text)
        : name(fieldName), value(std::string(text)) {}
    Field(std::string_view fieldName, const char* text)
        : name(fieldName), value(std::string(text)) {}
    Field(std::string_view fieldName, std::u16string_view text);

    std::string_view name;
    Value value;
};

class AppObserver {
  public:
    virtual ~AppObserver() = default;
    virtual void Report(std::string_view event, std::initializer_list<Field> fields) = 0;
};

// The observer the entry point attached, or null (the product).
AppObserver* Current();
void Attach(AppObserver* observer);

}  // namespace AppObservers
