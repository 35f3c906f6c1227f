#include "HttpHead.h"

#include <algorithm>

namespace {

// RFC 9110 token characters, for the method and header names.
bool TokenText(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return (u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') ||
               std::string_view("!#$%&'*+-.^_`|~").find(c) != std::string_view::npos;
    });
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

// The next line, without its CR LF (or bare LF).
std::string_view NextLine(std::string_view& rest) {
    const size_t end = rest.find('\n');
    std::string_view line = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return line;
}

} // namespace

int ParseHttpHead(std::string_view head, size_t mostHeaders, HttpRequest& request) {
    std::string_view rest = head;
    const std::string_view line = NextLine(rest);
    const size_t firstSpace = line.find(' ');
    const size_t lastSpace = line.rfind(' ');
    if (firstSpace == std::string_view::npos || lastSpace == firstSpace)
        return 400;
    const std::string_view method = line.substr(0, firstSpace);
    const std::string_view target = line.substr(firstSpace + 1, lastSpace - firstSpace - 1);
    const std::string_view version = line.substr(lastSpace + 1);
    if (!TokenText(method) || target.empty() || target.front() != '/' ||
        target.find_first_of(" \t\r\0", 0, 4) != std::string_view::npos ||
        (version != "HTTP/1.1" && version != "HTTP/1.0"))
        return 400;
    request.method = std::string(method);
    const size_t question = target.find('?');
    request.path = std::string(target.substr(0, question));
    request.query = question == std::string_view::npos ? std::string()
                                                       : std::string(target.substr(question + 1));
    request.headers.clear();
    while (!rest.empty()) {
        const std::string_view header = NextLine(rest);
        if (header.empty())
            continue;
        if (request.headers.size() == mostHeaders)
            return 431;
        const size_t colon = header.find(':');
        if (colon == std::string_view::npos || !TokenText(header.substr(0, colon)))
            return 400;
        request.headers.emplace_back(std::string(header.substr(0, colon)),
                                     std::string(Trimmed(header.substr(colon + 1))));
    }
    return 0;
}
