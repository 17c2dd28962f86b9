#pragma once

#include <string>
#include <string_view>

namespace quorvex {

class MessageService;

// The new-list dialog's choices: the list kind (an index into
// TemplateLists::kinds(), which is also the order new.mtr stores them in) and
// the two check boxes. At most one kind is selected; none is possible.
class NewListSettings {
public:
    static constexpr const char *FileName = "new.mtr";
    static constexpr int KindCount = 9;
    static constexpr int MovieKindCount = 5;
    static constexpr int NoKind = -1;
    static constexpr int FlagCount = 11;
    // Eleven flags need a few dozen bytes; a bigger file is read no further.
    static constexpr std::size_t MaxFileBytes = 4096;

    static constexpr const char *ReadError = "Unable to open file \"new.mtr\". Please make sure the disk is accessable.";
    static constexpr const char *WriteError =
        "Unable to save file \"new.mtr\". Please make sure the disk is not write protected.";
    static constexpr const char *ReadOnlyQuestion =
        "Unable to save \"new.mtr\". The file is read-only. Do you want Quorvex.exe to make this file write able?";
    static constexpr const char *MakeWritableError =
        "Quorvex.exe was unable to make \"new.mtr\" write able. Please make sure it is not on a write protected disk.";

    bool wizard = true;
    bool showOnStart = true;
    int kind = 1; // DVD

    static bool isMovieKind(int kind) { return kind >= 0 && kind < MovieKindCount; }
    static bool isMusicKind(int kind) { return kind >= MovieKindCount && kind < KindCount; }

    // Selecting a kind clears every other one, in its own group and in the other.
    void select(int newKind);
    // A click on a group's frame clears the kinds of the other group.
    void frameClicked(bool movieGroup);

    // Applies the flags in the file's order. Each selected kind follows the group
    // rule; a cleared flag unselects its kind. Flags the text lacks (or that come
    // after something that is not a number) leave the choice as it stands.
    // Returns how many flags were applied.
    int parse(std::string_view text);
    // Three lines: wizard and the five movie kinds, the four music kinds, show on start.
    std::string format() const;

    // Reads the file when it exists; an unreadable one is reported and changes nothing.
    // False after the message.
    bool load(const std::string &path, MessageService &messages);
    // Writes the file atomically, asking first when it is read-only. False when
    // nothing was written (a message was shown or the user declined).
    bool save(const std::string &path, MessageService &messages) const;
};

} // namespace quorvex
