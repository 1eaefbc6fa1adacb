#include "HelpIndex.h"

#include <algorithm>
#include <cstddef>

namespace kqvdr {
namespace {

// ASCII folding is enough: the pages are English, and bytes of multi-byte UTF-8 characters
// are left alone so they still match themselves.
char fold(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string folded(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(), fold);
    return result;
}

bool isWordChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           static_cast<unsigned char>(c) >= 0x80;
}

std::size_t countOccurrences(const std::string& haystack, const std::string& needle) {
    std::size_t count = 0;
    for (std::size_t at = haystack.find(needle); at != std::string::npos;
         at = haystack.find(needle, at + needle.size())) {
        ++count;
    }
    return count;
}

// Never cut inside a UTF-8 sequence.
std::size_t backToCharStart(const std::string& text, std::size_t at) {
    while (at > 0 && at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80) {
        --at;
    }
    return at;
}

std::string excerptAround(const std::string& text, std::size_t at) {
    constexpr std::size_t before = 40;
    constexpr std::size_t length = 110;
    std::size_t start = backToCharStart(text, at > before ? at - before : 0);
    while (start > 0 && start < at && text[start - 1] != ' ' && text[start - 1] != '\n') {
        ++start;
    }
    std::size_t end = backToCharStart(text, std::min(text.size(), start + length));
    std::string excerpt;
    bool blank = false;
    for (std::size_t i = start; i < end; ++i) {
        const char c = text[i];
        const bool space = c == ' ' || c == '\n' || c == '\t' || c == '\r';
        if (space) {
            blank = !excerpt.empty();
            continue;
        }
        if (blank) {
            excerpt += ' ';
            blank = false;
        }
        excerpt += c;
    }
    if (start > 0) {
        excerpt.insert(0, "\u2026");
    }
    if (end < text.size()) {
        excerpt += "\u2026";
    }
    return excerpt;
}

// The text as its words separated by single blanks, so that "gas-flow" matches "gas flow".
std::string joinedWords(std::string_view text) {
    std::string joined;
    for (const std::string& word : queryWords(text)) {
        joined += (joined.empty() ? "" : " ") + word;
    }
    return ' ' + joined + ' ';
}

} // namespace

std::vector<std::string> queryWords(std::string_view query) {
    std::vector<std::string> words;
    std::string word;
    for (const char c : query) {
        if (isWordChar(c)) {
            word += fold(c);
        } else if (!word.empty()) {
            words.push_back(word);
            word.clear();
        }
    }
    if (!word.empty()) {
        words.push_back(word);
    }
    return words;
}

HelpIndex::HelpIndex(std::vector<HelpPage> pages) : pages_(std::move(pages)) {
    for (const HelpPage& page : pages_) {
        foldedTitles_.push_back(folded(page.title));
        foldedTexts_.push_back(folded(page.title + '\n' + page.text));
        wordTexts_.push_back(joinedWords(foldedTexts_.back()));
    }
}

std::vector<HelpHit> HelpIndex::search(std::string_view query) const {
    const std::vector<std::string> words = queryWords(query);
    if (words.empty()) {
        return {};
    }
    // Anchored at a word start only, so that "range" still finds "ranges".
    std::string phrase = joinedWords(query);
    phrase.pop_back();
    // A page about the subject names it in its title or uses the words together, not just
    // somewhere; weigh those above a plain count.
    constexpr std::size_t titleWeight = 10;
    constexpr std::size_t phraseWeight = 5;
    struct Scored {
        std::size_t page;
        std::size_t score;
    };
    std::vector<Scored> scored;
    for (std::size_t i = 0; i < pages_.size(); ++i) {
        std::size_t score = 0;
        bool all = true;
        for (const std::string& word : words) {
            const std::size_t n = countOccurrences(foldedTexts_[i], word);
            if (n == 0) {
                all = false;
                break;
            }
            score += n;
            if (foldedTitles_[i].find(word) != std::string::npos) {
                score += titleWeight;
            }
        }
        if (all) {
            if (words.size() > 1) {
                score += phraseWeight * countOccurrences(wordTexts_[i], phrase);
            }
            scored.push_back({i, score});
        }
    }
    std::stable_sort(scored.begin(), scored.end(),
                     [](const Scored& a, const Scored& b) { return a.score > b.score; });

    // The excerpt shows the words as typed when the page has them that way.
    const std::size_t first = query.find_first_not_of(" \t");
    const std::size_t last = query.find_last_not_of(" \t");
    const std::string typed =
        first == std::string_view::npos ? "" : folded(query.substr(first, last - first + 1));
    std::vector<HelpHit> hits;
    for (const Scored& s : scored) {
        const HelpPage& page = pages_[s.page];
        // Excerpts come from the body, so skip the title that was prepended for matching.
        const std::string& body = foldedTexts_[s.page];
        const std::size_t bodyStart = page.title.size() + 1;
        std::size_t at = typed.empty() ? std::string::npos : body.find(typed, bodyStart);
        if (at == std::string::npos) {
            at = body.find(words.front(), bodyStart);
        }
        at = at == std::string::npos ? 0 : at - bodyStart;
        hits.push_back({page.file, page.title, excerptAround(page.text, at)});
    }
    return hits;
}

} // namespace kqvdr
