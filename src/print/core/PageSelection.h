#pragma once

#include <string>
#include <vector>

namespace quorvex {

// Which pages a job prints: a range (optionally odd pages first, with a pause
// to turn the paper) or a comma list in the order written.
struct PageSelection {
    static constexpr int MaxPage = 8888888;
    static constexpr std::size_t MaxListText = 9999;
    static constexpr std::size_t MaxPieceLength = 999;

    bool rangeMode = true;
    int startPage = 1;
    int endPage = 1;
    bool oddsFirst = false;
    std::string pageNums = "1";
    bool accepted = true;

    // The outcome of checking the list text: the messages in the order they
    // show; the dialog may close only when there is none.
    struct Check {
        std::vector<std::string> messages;
        std::vector<int> pages;
        bool ok() const { return messages.empty(); }
    };

    // The page selection dialog's OK: clamps the range, or checks the list
    // against `totalPages`. Every message keeps the dialog open.
    Check validate(int totalPages);
    static Check checkList(const std::string &text, int totalPages);

    // The pages in printing order; pauseBefore is the index of the first even
    // page of an odd-first range (-1 when no pause).
    std::vector<int> pageList(int *pauseBefore = nullptr) const;
    // Pieces of the list text read as numbers; false at the first piece that is not one.
    static bool parsePiece(const std::string &piece, int &value);
};

} // namespace quorvex
