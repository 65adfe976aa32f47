#include "common/app_observer_qt.h"

namespace AppObservers {
namespace {

QtObserver* attachedQt = nullptr;

}  // namespace

QtObserver* CurrentQt() {
    return attachedQt;
}

void AttachQt(QtObserver* observer) {
    attachedQt = observer;
    Attach(observer);
}

}  // namespace AppObservers
