#include "app/command_line.h"

#include "service/link_text.h"

LinkChoice ChooseLink(const std::vector<std::u16string>& arguments,
                      std::u16string_view rawCommandLine, std::u16string_view scheme) {
    LinkChoice choice;
    if (arguments.size() >= 2) {
        choice.link = arguments[1];
        for (std::size_t i = 1; i < arguments.size(); ++i) {
            bool matched = false;
            ExtractSchemePayload(arguments[i], scheme, &matched);
            if (matched) {
                choice.link = arguments[i];
                break;
            }
        }
    }
    if (choice.link.empty() && !rawCommandLine.empty()) choice.link = rawCommandLine;
    choice.mode = IsSchemeLink(choice.link, scheme) ? RunMode::Player : RunMode::Init;
    return choice;
}
