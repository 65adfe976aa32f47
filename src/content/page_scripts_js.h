#pragma once
// Building blocks shared by the page scripts, so the guard and "keep the element present" logic is
// written once. Internal to the page-script sources.
#include <initializer_list>
#include <string>
#include <string_view>

namespace PageScripts::Js {

// Concatenation of views, for assembling scripts from constant pieces.
std::u16string Join(std::initializer_list<std::u16string_view> parts);

// Opens a self-invoking function that returns at once when window[flag] is set and sets it.
std::u16string Guarded(std::u16string_view flag);

// Calls `function` once the document is ready (at once unless it is still loading).
std::u16string WhenReady(std::u16string_view function);

// Calls `function` when the document is ready and again whenever the element `elementId` is gone
// while a body exists, then closes the function opened by Guarded.
std::u16string KeepPresentAndClose(std::u16string_view function, std::u16string_view elementId);

}  // namespace PageScripts::Js
