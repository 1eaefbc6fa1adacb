#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kqvdr {

struct HelpPage {
    std::string file;  // resource name, for example "modes.html"
    std::string title; // UTF-8
    std::string text;  // the page as plain UTF-8 text
};

struct HelpHit {
    std::string file;
    std::string title;
    std::string excerpt; // the text around the first match, on one line
};

// Full-text search over the help pages: a page matches when it contains every word of the
// query, ignoring case. The best match comes first: words in the title count most, then the
// words appearing together as typed, then how often they appear.
class HelpIndex {
public:
    explicit HelpIndex(std::vector<HelpPage> pages);

    std::vector<HelpHit> search(std::string_view query) const;

    const std::vector<HelpPage>& pages() const { return pages_; }

private:
    std::vector<HelpPage> pages_;
    std::vector<std::string> foldedTitles_;
    std::vector<std::string> foldedTexts_;
    std::vector<std::string> wordTexts_;
};

// The query's words, lower case; punctuation separates words.
std::vector<std::string> queryWords(std::string_view query);

} // namespace kqvdr
