#pragma once
// The switches every browser instance of the application starts with: web security and site
// isolation off (content pages frame other origins), media autoplay without a gesture, and no
// proxy. Both browser adapters use the same list.
#include <string>
#include <vector>

namespace BrowserArguments {

// "--name" or "--name=value", in their fixed order.
std::vector<std::u16string> Switches();

// The tenant's leading argument text, a space, then the switches separated by single spaces.
std::u16string CommandLineText();

}  // namespace BrowserArguments
