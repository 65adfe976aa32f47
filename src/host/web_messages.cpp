#include "host/web_messages.h"

#include "common/text.h"
#include "tenant_profile.h"

namespace {

// A string posted as JSON arrives with its quotes; the player's pages send either form.
bool IsWordOrQuotedWord(std::u16string_view text, std::u16string_view word) {
    return text == word || (text.size() == word.size() + 2 && text.front() == u'"' &&
                            text.back() == u'"' && text.substr(1, word.size()) == word);
}

WebCommand ClassifyInitMessage(std::u16string_view text) {
    // The navigation bar posts bare words only.
    if (text == u"btn_home") return WebCommand::Home;
    if (text == u"btn_back") return WebCommand::Back;
    if (text == u"btn_reload") return WebCommand::Reload;
    if (text == u"btn_fullscreen") return WebCommand::InitFullscreen;
    return WebCommand::None;
}

WebCommand ClassifyPlayerMessage(std::u16string_view text) {
    if (IsWordOrQuotedWord(text, u"toggleFullscreen")) return WebCommand::PlayerFullscreen;
    if (IsWordOrQuotedWord(text, u"pageLoaded")) return WebCommand::ShowOnce;
    return WebCommand::None;
}

struct HomeAddresses {
    std::u16string base;
    std::u16string url;
};

const HomeAddresses& Home() {
    static const HomeAddresses home{Text::Widen(Tenant::HomeBase()),
                                    Text::Widen(Tenant::HomeUrl())};
    return home;
}

}  // namespace

WebCommand ClassifyWebMessage(std::u16string_view text, RunMode window) {
    // Printing is asked for by our own scripts in any shape, including inside an object: any
    // text carrying the quoted word counts, so the quoted word alone does too.
    if (text == u"requestPrint" || text.find(u"\"requestPrint\"") != std::u16string_view::npos) {
        return WebCommand::Print;
    }
    return window == RunMode::Init ? ClassifyInitMessage(text) : ClassifyPlayerMessage(text);
}

std::u16string ApplyHomeCommand(AppRecord& record) {
    record.baseUrl = Home().base;
    return Home().url;
}
