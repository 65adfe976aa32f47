#pragma once
// Registering the application's URL scheme for the current user, at every start, so that the
// registration always points at the executable's current location. Windows writes the per-user
// class keys; freedesktop systems get a desktop entry and a default-handler line, whose texts
// are built here.
#include <string>
#include <string_view>

// Makes the system start `executablePath` with a link of `scheme` as its argument. False when
// the registration could not be written; never throws. Start-up ignores the result: it is
// retried at the next start anyway.
// `displayName` names the handler where the system lists it.
bool RegisterUrlProtocol(std::u16string_view scheme, std::u16string_view description,
                         std::u16string_view executablePath, std::u16string_view displayName);

// The registry texts of a Windows registration: the icon reference (the executable's icon,
// index 1) and the open command, which quotes the executable and the link so that a path with
// spaces and a link arrive as one argument each.
std::u16string BuildSchemeIconValue(std::u16string_view executablePath);
std::u16string BuildSchemeOpenCommand(std::u16string_view executablePath);

// "<scheme>-handler.desktop".
std::string DesktopFileName(std::u16string_view scheme);

// A desktop entry that opens links of `scheme` with the executable (passed as one argument).
std::string BuildDesktopEntry(std::u16string_view executablePath, std::u16string_view iconPath,
                              std::u16string_view scheme, std::u16string_view description,
                              std::u16string_view displayName);

// The Exec value for one program argument: quoted and escaped so that a launcher hands the
// exact path back, "%" doubled so that it never reads as a field code.
std::string QuoteDesktopExecArgument(std::string_view argument);

// `mimeappsList` with "x-scheme-handler/<scheme>=<desktopFileName>" as the only line for that
// key under [Default Applications]; every other line and group is kept as it was.
std::string SetDefaultSchemeHandler(std::string_view mimeappsList, std::u16string_view scheme,
                                    std::string_view desktopFileName);
