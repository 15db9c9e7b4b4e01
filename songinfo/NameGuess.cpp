#include "NameGuess.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace songinfo {

namespace {

std::string ReplaceUnderscores(std::string_view text) {
    std::string result(text);
    std::replace(result.begin(), result.end(), '_', ' ');
    return result;
}

std::string RemoveBrackets(std::string_view text) {
    std::string result;
    for (char c : text)
        if (c != '(' && c != ')')
            result += c;
    return result;
}

// The file name without its folders and without the part from its last ".".
std::string_view BareName(std::string_view path) {
    std::size_t slash = path.rfind('/');
    std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    std::size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? name : name.substr(0, dot);
}

std::vector<std::string_view> SplitAt(std::string_view text, std::string_view separator) {
    std::vector<std::string_view> pieces;
    std::size_t start = 0;
    for (;;) {
        std::size_t found = text.find(separator, start);
        if (found == std::string_view::npos) {
            pieces.push_back(text.substr(start));
            return pieces;
        }
        pieces.push_back(text.substr(start, found - start));
        start = found + separator.size();
    }
}

// "(Artist) Title - Album". Returns what is left of the name afterwards.
std::string GuessBracketForm(std::string s, TagFields& r) {
    std::size_t close = s.find(')');
    if (close == std::string::npos) {
        // No closing bracket: nothing marks an artist, so the rest is the title.
        r.Title = TrimSpaces(std::string_view(s).substr(1));
        return s;
    }
    r.Artist = s.substr(1, close - 1);
    s = TrimSpaces(std::string_view(s).substr(close + 1));
    if (!s.empty() && s.front() == '-') {
        r.Title = TrimSpaces(std::string_view(s).substr(1));
    } else if (std::size_t dash = s.find('-'); dash != std::string::npos) {
        r.Title = s.substr(0, dash);
        r.Album = s.substr(dash + 1);
    } else {
        r.Title = s;
    }
    return s;
}

// "Artist - Album - 05 - Title": the first text piece is the artist, a text
// piece right after a number (the track) the title, any other the album.
void GuessDashForm(std::string_view s, TagFields& r) {
    std::vector<std::string_view> pieces = SplitAt(s, "- ");
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        if (ReadsAsNumber(pieces[i]))
            continue;
        if (r.Artist.empty()) {
            r.Artist = pieces[i];
        } else if (i > 0 && ReadsAsNumber(pieces[i - 1])) {
            if (r.Title.empty())
                r.Title = pieces[i];
        } else if (r.Album.empty()) {
            r.Album = pieces[i];
        }
    }
}

struct FileNameGuess {
    TagFields fields;
    bool ask_folders = false; // the name gave no title; the folder above may
};

// One level of the guess, on the path's own file name.
FileNameGuess GuessFromFileName(std::string_view path) {
    FileNameGuess guess;
    TagFields& r = guess.fields;
    std::string s = TrimSpaces(BareName(path));
    if (s.find(' ') == std::string::npos) {
        // One word (underscores count as letters here): the whole name is the
        // title, and no folder name is consulted.
        r.Title = ReplaceUnderscores(s);
        return guess;
    }
    s = TrimSpaces(ReplaceUnderscores(s));
    if (!s.empty() && s.front() == '(' && CountOf(s, "-") < 3) {
        s = GuessBracketForm(s, r);
    } else {
        GuessDashForm(s, r);
    }
    r.Artist = RemoveBrackets(r.Artist);
    // A name still opening with "(" is taken as complete even without a title.
    guess.ask_folders = r.Title.empty() && (s.empty() || s.front() != '(');
    return guess;
}

bool HasTwoSlashes(std::string_view path) {
    std::size_t first = path.find('/');
    return first != std::string_view::npos && path.rfind('/') != first;
}

} // namespace

std::string TrimSpaces(std::string_view text) {
    std::size_t begin = text.find_first_not_of(' ');
    if (begin == std::string_view::npos)
        return std::string();
    std::size_t end = text.find_last_not_of(' ');
    return std::string(text.substr(begin, end - begin + 1));
}

int CountOf(std::string_view text, std::string_view delimiter) {
    if (text.empty() || delimiter.empty())
        return 0;
    int count = 0;
    for (std::size_t at = text.find(delimiter); at != std::string_view::npos;
         at = text.find(delimiter, at + delimiter.size()))
        ++count;
    return count;
}

std::string FolderAndName(std::string_view path) {
    std::size_t slash = path.rfind('/');
    if (slash == std::string_view::npos)
        return std::string(path);
    return TrimSpaces(path.substr(0, slash)) + " - " + TrimSpaces(path.substr(slash + 1));
}

bool ReadsAsNumber(std::string_view text) {
    std::string number = TrimSpaces(text);
    std::size_t at = 0;
    if (at < number.size() && (number[at] == '+' || number[at] == '-'))
        ++at;
    bool digit_seen = false;
    bool point_seen = false;
    for (; at < number.size(); ++at) {
        char c = number[at];
        if (std::isdigit(static_cast<unsigned char>(c))) {
            digit_seen = true;
        } else if (c == '.' && !point_seen) {
            point_seen = true;
        } else {
            return false;
        }
    }
    return digit_seen;
}

TagFields GuessFromName(std::string_view path) {
    // Each round joins the last folder to the file name, removing one "/",
    // until a title turns up or one "/" is left. Only the last round counts.
    // A loop rather than recursion, so that a path of many folders cannot
    // exhaust the stack.
    std::string current(path);
    for (;;) {
        FileNameGuess guess = GuessFromFileName(current);
        if (!guess.ask_folders || !HasTwoSlashes(current))
            return guess.fields;
        current = FolderAndName(current);
    }
}

} // namespace songinfo
