#include "NewListSettings.h"

#include "platform/core/SettingsText.h"

#include "platform/core/FileSystem.h"
#include "platform/core/MessageService.h"

namespace quorvex {

namespace {

const char *bit(bool b)
{
    return b ? "1" : "0";
}

} // namespace

void NewListSettings::select(int newKind)
{
    kind = newKind >= 0 && newKind < KindCount ? newKind : NoKind;
}

void NewListSettings::frameClicked(bool movieGroup)
{
    if (movieGroup ? isMusicKind(kind) : isMovieKind(kind))
        kind = NoKind;
}

int NewListSettings::parse(std::string_view text)
{
    std::size_t pos = 0;
    int applied = 0;
    for (; applied < FlagCount; ++applied) {
        bool flag = false;
        if (!SettingsText::readFlag(text, pos, flag))
            break;
        if (applied == 0) {
            wizard = flag;
        } else if (applied == FlagCount - 1) {
            showOnStart = flag;
        } else {
            const int k = applied - 1;
            if (flag)
                select(k);
            else if (kind == k)
                kind = NoKind;
        }
    }
    return applied;
}

std::string NewListSettings::format() const
{
    std::string out = bit(wizard);
    for (int k = 0; k < KindCount; ++k) {
        out += k == MovieKindCount ? "\r\n" : " ";
        out += bit(kind == k);
    }
    return out + "\r\n" + bit(showOnStart);
}

bool NewListSettings::load(const std::string &path, MessageService &messages)
{
    if (!FileSystem::exists(path))
        return true;
    const auto text = FileSystem::readFilePrefix(path, MaxFileBytes);
    if (!text) {
        messages.error(ReadError);
        return false;
    }
    parse(*text);
    return true;
}

bool NewListSettings::save(const std::string &path, MessageService &messages) const
{
    if (FileSystem::exists(path) && FileSystem::isReadOnly(path)) {
        if (messages.confirm(ReadOnlyQuestion) != MessageAnswer::Yes)
            return false;
        if (!FileSystem::makeWritable(path)) {
            messages.error(MakeWritableError);
            return false;
        }
    }
    if (!FileSystem::writeFileAtomic(path, format())) {
        messages.error(WriteError);
        return false;
    }
    return true;
}

} // namespace quorvex
