#include "common/app_observer.h"

#include "common/text.h"

namespace AppObservers {
namespace {

// Set once by the entry point before anything that reports exists, cleared after it is gone.
AppObserver* attached = nullptr;

}  // namespace

Field::Field(std::string_view fieldName, std::u16string_view text)
    : name(fieldName), value(Text::Utf16ToUtf8(text)) {}

AppObserver* Current() {
    return attached;
}

void Attach(AppObserver* observer) {
    attached = observer;
}

}  // namespace AppObservers
